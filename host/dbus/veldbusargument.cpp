#include "veldbusargument.h"

#include "veldbusargument_p.h"
#include "veldbusmetatype.h"

#include <cstring>

namespace
{

void appendBasic(VelDBusArgumentPrivate *d, int type, const void *value)
{
    DBusMessageIter *it = d->top();
    if (!d->writing || !it || !dbus_message_iter_append_basic(it, type, value))
        d->failed = true;
}

template <typename T> void readBasic(VelDBusArgumentPrivate *d, int type, T &value)
{
    value = T();
    DBusMessageIter *it = d->top();
    if (d->writing || !it || dbus_message_iter_get_arg_type(it) != type) {
        d->failed = true;
        return;
    }
    dbus_message_iter_get_basic(it, &value);
    dbus_message_iter_next(it);
}

// libdbus refuses (and warns about) text that is not UTF-8; a string with a
// lone surrogate must fail the write instead.
bool validUtf8(const VelByteArray &utf8)
{
    return dbus_validate_utf8(utf8.constData(), nullptr);
}

VelVariant typed(int typeId, const void *value)
{
    return VelVariant(typeId, value);
}

} // namespace

VelDBusArgumentPrivate::~VelDBusArgumentPrivate()
{
    if (message)
        dbus_message_unref(message);
}

VelDBusArgument VelDBusArgumentPrivate::forWriting(DBusMessage *message)
{
    VelDBusArgument arg;
    arg.d->message = dbus_message_ref(message);
    arg.d->writing = true;
    arg.d->stack.emplace_back();
    dbus_message_iter_init_append(message, &arg.d->stack.back());
    return arg;
}

VelDBusArgument VelDBusArgumentPrivate::forReading(DBusMessage *message)
{
    VelDBusArgument arg;
    arg.d->message = dbus_message_ref(message);
    arg.d->stack.emplace_back();
    if (!dbus_message_iter_init(message, &arg.d->stack.back()))
        arg.d->stack.clear(); // no arguments: already at the end
    return arg;
}

VelDBusArgument::VelDBusArgument() : d(new VelDBusArgumentPrivate) {}

VelDBusArgument::VelDBusArgument(const VelDBusArgument &other) : d(new VelDBusArgumentPrivate)
{
    *this = other;
}

VelDBusArgument &VelDBusArgument::operator=(const VelDBusArgument &other)
{
    if (this == &other)
        return *this;
    if (d->message)
        dbus_message_unref(d->message);
    d->message = other.d->message ? dbus_message_ref(other.d->message) : nullptr;
    d->stack = other.d->stack;
    d->writing = other.d->writing;
    d->failed = other.d->failed;
    return *this;
}

VelDBusArgument::~VelDBusArgument() = default;

VelDBusArgument &VelDBusArgument::operator<<(bool value)
{
    const dbus_bool_t b = value;
    appendBasic(d.get(), DBUS_TYPE_BOOLEAN, &b);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(uchar value)
{
    appendBasic(d.get(), DBUS_TYPE_BYTE, &value);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(short value)
{
    const dbus_int16_t v = value;
    appendBasic(d.get(), DBUS_TYPE_INT16, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(ushort value)
{
    const dbus_uint16_t v = value;
    appendBasic(d.get(), DBUS_TYPE_UINT16, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(int value)
{
    const dbus_int32_t v = value;
    appendBasic(d.get(), DBUS_TYPE_INT32, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(uint value)
{
    const dbus_uint32_t v = value;
    appendBasic(d.get(), DBUS_TYPE_UINT32, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(long long value)
{
    const dbus_int64_t v = value;
    appendBasic(d.get(), DBUS_TYPE_INT64, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(unsigned long long value)
{
    const dbus_uint64_t v = value;
    appendBasic(d.get(), DBUS_TYPE_UINT64, &v);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(double value)
{
    appendBasic(d.get(), DBUS_TYPE_DOUBLE, &value);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(const VelString &value)
{
    const VelByteArray utf8 = value.toUtf8();
    if (!validUtf8(utf8)) {
        d->failed = true;
        return *this;
    }
    const char *text = utf8.constData();
    appendBasic(d.get(), DBUS_TYPE_STRING, &text);
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(const VelStringList &value)
{
    beginArray(DBUS_TYPE_STRING_AS_STRING);
    for (const VelString &s : value)
        *this << s;
    endArray();
    return *this;
}

VelDBusArgument &VelDBusArgument::operator<<(const VelByteArray &value)
{
    beginArray(DBUS_TYPE_BYTE_AS_STRING);
    DBusMessageIter *it = d->top();
    const char *bytes = value.constData();
    if (!it || !dbus_message_iter_append_fixed_array(it, DBUS_TYPE_BYTE, &bytes, value.size()))
        d->failed = true;
    endArray();
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(bool &value) const
{
    dbus_bool_t b = FALSE;
    readBasic(d.get(), DBUS_TYPE_BOOLEAN, b);
    value = b != FALSE;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(uchar &value) const
{
    readBasic(d.get(), DBUS_TYPE_BYTE, value);
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(short &value) const
{
    dbus_int16_t v = 0;
    readBasic(d.get(), DBUS_TYPE_INT16, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(ushort &value) const
{
    dbus_uint16_t v = 0;
    readBasic(d.get(), DBUS_TYPE_UINT16, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(int &value) const
{
    dbus_int32_t v = 0;
    readBasic(d.get(), DBUS_TYPE_INT32, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(uint &value) const
{
    dbus_uint32_t v = 0;
    readBasic(d.get(), DBUS_TYPE_UINT32, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(long long &value) const
{
    dbus_int64_t v = 0;
    readBasic(d.get(), DBUS_TYPE_INT64, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(unsigned long long &value) const
{
    dbus_uint64_t v = 0;
    readBasic(d.get(), DBUS_TYPE_UINT64, v);
    value = v;
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(double &value) const
{
    readBasic(d.get(), DBUS_TYPE_DOUBLE, value);
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(VelString &value) const
{
    value = VelString();
    DBusMessageIter *it = d->top();
    const int type = it ? dbus_message_iter_get_arg_type(it) : DBUS_TYPE_INVALID;
    if (d->writing || (type != DBUS_TYPE_STRING && type != DBUS_TYPE_OBJECT_PATH &&
                       type != DBUS_TYPE_SIGNATURE)) {
        d->failed = true;
        return *this;
    }
    const char *text = nullptr;
    dbus_message_iter_get_basic(it, &text);
    value = VelString::fromUtf8(text);
    dbus_message_iter_next(it);
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(VelStringList &value) const
{
    value = VelStringList();
    if (currentSignature() != "as") {
        d->failed = true;
        return *this;
    }
    beginArray();
    while (!atEnd() && !d->failed) {
        VelString s;
        *this >> s;
        value.append(s);
    }
    endArray();
    return *this;
}

const VelDBusArgument &VelDBusArgument::operator>>(VelByteArray &value) const
{
    value = VelByteArray();
    if (currentSignature() != "ay") {
        d->failed = true;
        return *this;
    }
    DBusMessageIter sub;
    dbus_message_iter_recurse(d->top(), &sub);
    const char *bytes = nullptr;
    int length = 0;
    dbus_message_iter_get_fixed_array(&sub, &bytes, &length);
    value = VelByteArray(bytes, length);
    dbus_message_iter_next(d->top());
    return *this;
}

void VelDBusArgument::beginStructure()
{
    DBusMessageIter *it = d->top();
    DBusMessageIter sub;
    if (!d->writing || !it ||
        !dbus_message_iter_open_container(it, DBUS_TYPE_STRUCT, nullptr, &sub)) {
        d->failed = true;
        return;
    }
    d->stack.push_back(sub);
}

void VelDBusArgument::endStructure()
{
    endArray();
}

void VelDBusArgument::beginArray(const char *elementSignature)
{
    DBusMessageIter *it = d->top();
    DBusMessageIter sub;
    if (!d->writing || !it || !elementSignature ||
        !dbus_signature_validate_single(elementSignature, nullptr) ||
        !dbus_message_iter_open_container(it, DBUS_TYPE_ARRAY, elementSignature, &sub)) {
        d->failed = true;
        return;
    }
    d->stack.push_back(sub);
}

void VelDBusArgument::endArray()
{
    // A container that failed to open was never pushed: closing it must not
    // close its parent.
    if (!d->writing || d->stack.size() < 2 || d->failed) {
        d->failed = true;
        return;
    }
    DBusMessageIter sub = d->stack.back();
    d->stack.pop_back();
    if (!dbus_message_iter_close_container(d->top(), &sub))
        d->failed = true;
}

namespace
{
void recurseInto(VelDBusArgumentPrivate *d, int expectedType)
{
    DBusMessageIter *it = d->top();
    if (d->writing || !it || dbus_message_iter_get_arg_type(it) != expectedType) {
        d->failed = true;
        return;
    }
    DBusMessageIter sub;
    dbus_message_iter_recurse(it, &sub);
    d->stack.push_back(sub);
}

void leaveContainer(VelDBusArgumentPrivate *d)
{
    if (d->writing || d->stack.size() < 2 || d->failed) {
        d->failed = true;
        return;
    }
    d->stack.pop_back();
    dbus_message_iter_next(d->top());
}
} // namespace

void VelDBusArgument::beginStructure() const
{
    recurseInto(d.get(), DBUS_TYPE_STRUCT);
}

void VelDBusArgument::endStructure() const
{
    leaveContainer(d.get());
}

void VelDBusArgument::beginArray() const
{
    recurseInto(d.get(), DBUS_TYPE_ARRAY);
}

void VelDBusArgument::endArray() const
{
    leaveContainer(d.get());
}

VelByteArray VelDBusArgument::currentSignature() const
{
    DBusMessageIter *it = d->top();
    if (d->writing || !it || dbus_message_iter_get_arg_type(it) == DBUS_TYPE_INVALID)
        return VelByteArray();
    char *signature = dbus_message_iter_get_signature(it);
    const VelByteArray out(signature);
    dbus_free(signature);
    return out;
}

bool VelDBusArgument::atEnd() const
{
    DBusMessageIter *it = d->top();
    return d->writing || !it || dbus_message_iter_get_arg_type(it) == DBUS_TYPE_INVALID;
}

bool VelDBusArgument::hasFailed() const
{
    return d->failed;
}

bool VelDBusArgument::appendVariant(const VelVariant &value)
{
    if (d->failed)
        return false;
    const void *data = value.constData();
    switch (value.userType()) {
    case VelMetaType::Bool:
        *this << *static_cast<const bool *>(data);
        break;
    case VelMetaType::UChar:
        *this << *static_cast<const uchar *>(data);
        break;
    case VelMetaType::Short:
        *this << *static_cast<const short *>(data);
        break;
    case VelMetaType::UShort:
        *this << *static_cast<const ushort *>(data);
        break;
    case VelMetaType::Int:
        *this << *static_cast<const int *>(data);
        break;
    case VelMetaType::UInt:
        *this << *static_cast<const uint *>(data);
        break;
    case VelMetaType::LongLong:
        *this << *static_cast<const long long *>(data);
        break;
    case VelMetaType::ULongLong:
        *this << *static_cast<const unsigned long long *>(data);
        break;
    case VelMetaType::Double:
        *this << *static_cast<const double *>(data);
        break;
    case VelMetaType::VelStringType:
        *this << *static_cast<const VelString *>(data);
        break;
    case VelMetaType::VelStringListType:
        *this << *static_cast<const VelStringList *>(data);
        break;
    case VelMetaType::VelByteArrayType:
        *this << *static_cast<const VelByteArray *>(data);
        break;
    default:
        if (!VelDBusMetaType::marshall(*this, value.userType(), data))
            d->failed = true;
        break;
    }
    return !d->failed;
}

VelVariant VelDBusArgument::readVariant() const
{
    DBusMessageIter *it = d->top();
    if (d->writing || !it) {
        d->failed = true;
        return VelVariant();
    }
    const int type = dbus_message_iter_get_arg_type(it);
    switch (type) {
    case DBUS_TYPE_INVALID:
        d->failed = true;
        return VelVariant();
    case DBUS_TYPE_BOOLEAN: {
        bool v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_BYTE: {
        uchar v;
        *this >> v;
        return typed(VelMetaType::UChar, &v);
    }
    case DBUS_TYPE_INT16: {
        short v;
        *this >> v;
        return typed(VelMetaType::Short, &v);
    }
    case DBUS_TYPE_UINT16: {
        ushort v;
        *this >> v;
        return typed(VelMetaType::UShort, &v);
    }
    case DBUS_TYPE_INT32: {
        int v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_UINT32: {
        uint v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_INT64: {
        long long v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_UINT64: {
        unsigned long long v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_DOUBLE: {
        double v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_STRING:
    case DBUS_TYPE_OBJECT_PATH:
    case DBUS_TYPE_SIGNATURE: {
        VelString v;
        *this >> v;
        return VelVariant(v);
    }
    case DBUS_TYPE_VARIANT: {
        recurseInto(d.get(), DBUS_TYPE_VARIANT);
        VelVariant inner = readVariant();
        // The content of a D-Bus variant is one value: leave it whatever the
        // read did, so that the outer position moves on.
        d->stack.pop_back();
        dbus_message_iter_next(d->top());
        return inner;
    }
    default:
        break;
    }

    const VelByteArray signature = currentSignature();
    if (signature == "as") {
        VelStringList v;
        *this >> v;
        return VelVariant(v);
    }
    if (signature == "ay") {
        VelByteArray v;
        *this >> v;
        return VelVariant(v);
    }

    // A compound value: read through a copy that sees only this value, so
    // that a marshaller reading wrongly cannot move this argument anywhere
    // but past it.
    VelDBusArgument single(*this);
    single.d->stack.assign(1, *it);
    dbus_message_iter_next(it);
    const int registered = VelDBusMetaType::signatureToType(signature.constData());
    if (!registered)
        return VelVariant::fromValue(single);
    void *value = VelMetaType::create(registered);
    if (!value)
        return VelVariant();
    const bool ok = VelDBusMetaType::demarshall(single, registered, value) && !single.hasFailed();
    VelVariant out = ok ? VelVariant(registered, value) : VelVariant();
    VelMetaType::destroy(registered, value);
    return out;
}
