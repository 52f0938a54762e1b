#ifndef VELDBUSARGUMENT_H
#define VELDBUSARGUMENT_H

#include "velbytearray.h"
#include "velmetatype.h"
#include "velstring.h"
#include "velvariant.h"

#include <memory>

struct VelDBusArgumentPrivate;

// A position in the body of a D-Bus message, for writing arguments into a
// message being built or for reading them out of one received.
//
// Marshallers of registered types (see veldbusmetatype.h) receive one:
//
//     VelDBusArgument &operator<<(VelDBusArgument &arg, const VelFoo &foo)
//     {
//         arg.beginStructure();
//         arg << foo.id << foo.name;
//         arg.endStructure();
//         return arg;
//     }
//     const VelDBusArgument &operator>>(const VelDBusArgument &arg, VelFoo &foo)
//     {
//         arg.beginStructure();
//         arg >> foo.id >> foo.name;
//         arg.endStructure();
//         return arg;
//     }
//
// Reading a value of another type than the one at the current position, or
// past the end, reads a default value and marks the argument failed; the
// code that asked for the demarshalling sees that and drops the value.
class VelDBusArgument
{
public:
    VelDBusArgument();
    VelDBusArgument(const VelDBusArgument &other);
    VelDBusArgument &operator=(const VelDBusArgument &other);
    ~VelDBusArgument();

    VelDBusArgument &operator<<(bool value);
    VelDBusArgument &operator<<(uchar value);
    VelDBusArgument &operator<<(short value);
    VelDBusArgument &operator<<(ushort value);
    VelDBusArgument &operator<<(int value);
    VelDBusArgument &operator<<(uint value);
    VelDBusArgument &operator<<(long long value);
    VelDBusArgument &operator<<(unsigned long long value);
    VelDBusArgument &operator<<(double value);
    VelDBusArgument &operator<<(const VelString &value);
    VelDBusArgument &operator<<(const VelStringList &value);
    VelDBusArgument &operator<<(const VelByteArray &value);

    const VelDBusArgument &operator>>(bool &value) const;
    const VelDBusArgument &operator>>(uchar &value) const;
    const VelDBusArgument &operator>>(short &value) const;
    const VelDBusArgument &operator>>(ushort &value) const;
    const VelDBusArgument &operator>>(int &value) const;
    const VelDBusArgument &operator>>(uint &value) const;
    const VelDBusArgument &operator>>(long long &value) const;
    const VelDBusArgument &operator>>(unsigned long long &value) const;
    const VelDBusArgument &operator>>(double &value) const;
    const VelDBusArgument &operator>>(VelString &value) const;
    const VelDBusArgument &operator>>(VelStringList &value) const;
    const VelDBusArgument &operator>>(VelByteArray &value) const;

    // Containers. The element signature of an array is needed before its
    // first element is written ("s", "(iisi)").
    void beginStructure();
    void endStructure();
    void beginArray(const char *elementSignature);
    void endArray();
    void beginStructure() const;
    void endStructure() const;
    void beginArray() const;
    void endArray() const;

    // Reading: the signature of the value at the current position (empty at
    // the end), and whether the current container has no more values.
    VelByteArray currentSignature() const;
    bool atEnd() const;
    // True once a write could not be done or a read found another type.
    bool hasFailed() const;

    // A variant's value, by its registered D-Bus form: writing fails for a
    // type that has none. Reading turns basic types into their variant
    // types, D-Bus variants into their content, structures and arrays of a
    // registered signature into that type, and anything else into a
    // VelDBusArgument positioned on it.
    bool appendVariant(const VelVariant &value);
    VelVariant readVariant() const;

private:
    friend struct VelDBusArgumentPrivate;
    std::unique_ptr<VelDBusArgumentPrivate> d;
};

VEL_DECLARE_METATYPE(VelDBusArgument)

#endif
