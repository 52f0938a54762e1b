#ifndef VELSOCKETNOTIFIER_H
#define VELSOCKETNOTIFIER_H

#include "velobject.h"

// Watches a file descriptor in the event loop of the notifier's thread and
// emits activated(fd) when it is ready.
class VelSocketNotifier : public VelObject
{
    VEL_OBJECT
public:
    enum Type { Read = 0, Write = 1, Exception = 2 };

    VelSocketNotifier(int socket, Type type, VelObject *parent = nullptr);
    ~VelSocketNotifier() override;

    int socket() const { return m_socket; }
    Type type() const { return m_type; }
    bool isEnabled() const { return m_enabled; }
    // slot
    void setEnabled(bool enable);

    // signal
    void activated(int socket);

protected:
    bool event(VelEvent *event) override;

private:
    int m_socket;
    Type m_type;
    bool m_enabled = false;
};

#endif
