#ifndef VELDBUSMESSAGE_H
#define VELDBUSMESSAGE_H

#include "vellist.h"
#include "velmetatype.h"
#include "velstring.h"
#include "velvariant.h"

#include <memory>

struct VelDBusMessagePrivate;

// A D-Bus message: a method call built here, or a reply, error or signal
// received. Copies share one message, so the serial a call gets when it is
// sent is seen by every copy.
class VelDBusMessage
{
public:
    enum MessageType {
        InvalidMessage = 0,
        MethodCallMessage = 1,
        ReplyMessage = 2,
        ErrorMessage = 3,
        SignalMessage = 4
    };

    VelDBusMessage();
    // An invalid message when a name is not valid D-Bus (an empty service
    // or interface is allowed and left out of the message).
    static VelDBusMessage createMethodCall(const VelString &service, const VelString &path,
                                           const VelString &interface, const VelString &method);

    MessageType type() const;
    bool isValid() const { return type() != InvalidMessage; }
    // Received messages: the sender; messages built here: the destination.
    VelString service() const;
    VelString path() const;
    VelString interface() const;
    VelString member() const;
    VelString errorName() const;
    // The text of an error reply (its first argument when that is a string).
    VelString errorMessage() const;
    // The D-Bus signature of the arguments ("(uiiiisb)").
    VelString signature() const;
    // 0 until the message has been sent.
    uint serial() const;
    // For replies and errors: the serial of the call answered.
    uint replySerial() const;

    // Written when the message is sent; each variant by its D-Bus form (see
    // veldbusmetatype.h). A message whose arguments cannot be written is
    // not sent.
    void setArguments(const VelList<VelVariant> &arguments);
    VelList<VelVariant> arguments() const;

private:
    friend struct VelDBusMessagePrivate;
    std::shared_ptr<VelDBusMessagePrivate> d;
};

VEL_DECLARE_METATYPE(VelDBusMessage)

#endif
