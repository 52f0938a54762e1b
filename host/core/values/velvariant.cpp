#include "velvariant.h"

#include "vellogging.h"
#include "velurl.h"
#include "veluuid.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <unordered_map>

namespace
{

// --- ids of the value types that are not registry built-ins ---------------------

int dateId()
{
    return velMetaTypeId<VelDate>();
}
int timeId()
{
    return velMetaTypeId<VelTime>();
}
int dateTimeId()
{
    return velMetaTypeId<VelDateTime>();
}
int rectId()
{
    return velMetaTypeId<VelRect>();
}
int rectFId()
{
    return velMetaTypeId<VelRectF>();
}
int pointId()
{
    return velMetaTypeId<VelPoint>();
}
int pointFId()
{
    return velMetaTypeId<VelPointF>();
}
int sizeId()
{
    return velMetaTypeId<VelSize>();
}
int sizeFId()
{
    return velMetaTypeId<VelSizeF>();
}
int localeId()
{
    return velMetaTypeId<VelLocale>();
}
int stringRefId()
{
    return velMetaTypeId<VelStringRef>();
}
int urlId()
{
    return velMetaTypeId<VelUrl>();
}
int uuidId()
{
    return velMetaTypeId<VelUuid>();
}

template <typename T> const T &as(const void *p)
{
    return *static_cast<const T *>(p);
}

// --- numbers ---------------------------------------------------------------------

enum class NumKind { None, Signed, Unsigned, Floating };

struct Num {
    NumKind kind = NumKind::None;
    long long s = 0;
    unsigned long long u = 0;
    double d = 0;

    long double wide() const
    {
        switch (kind) {
        case NumKind::Signed:
            return (long double)s;
        case NumKind::Unsigned:
            return (long double)u;
        case NumKind::Floating:
            return d;
        case NumKind::None:
            break;
        }
        return 0;
    }
};

Num signedNum(long long v)
{
    Num n;
    n.kind = NumKind::Signed;
    n.s = v;
    return n;
}

Num unsignedNum(unsigned long long v)
{
    Num n;
    n.kind = NumKind::Unsigned;
    n.u = v;
    return n;
}

Num floatingNum(double v)
{
    Num n;
    n.kind = NumKind::Floating;
    n.d = v;
    return n;
}

bool isNumericType(int type)
{
    switch (type) {
    case VelMetaType::Bool:
    case VelMetaType::Int:
    case VelMetaType::UInt:
    case VelMetaType::LongLong:
    case VelMetaType::ULongLong:
    case VelMetaType::Double:
    case VelMetaType::Float:
    case VelMetaType::Long:
    case VelMetaType::ULong:
    case VelMetaType::Short:
    case VelMetaType::UShort:
    case VelMetaType::Char:
    case VelMetaType::SChar:
    case VelMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// A numeric value held by a numeric type (or a character's code).
Num heldNumber(int type, const void *p)
{
    switch (type) {
    case VelMetaType::Bool:
        return signedNum(as<bool>(p) ? 1 : 0);
    case VelMetaType::Int:
        return signedNum(as<int>(p));
    case VelMetaType::UInt:
        return unsignedNum(as<uint>(p));
    case VelMetaType::LongLong:
        return signedNum(as<long long>(p));
    case VelMetaType::ULongLong:
        return unsignedNum(as<unsigned long long>(p));
    case VelMetaType::Double:
        return floatingNum(as<double>(p));
    case VelMetaType::Float:
        return floatingNum(as<float>(p));
    case VelMetaType::Long:
        return signedNum(as<long>(p));
    case VelMetaType::ULong:
        return unsignedNum(as<unsigned long>(p));
    case VelMetaType::Short:
        return signedNum(as<short>(p));
    case VelMetaType::UShort:
        return unsignedNum(as<ushort>(p));
    case VelMetaType::Char:
        return signedNum(as<char>(p));
    case VelMetaType::SChar:
        return signedNum(as<signed char>(p));
    case VelMetaType::UChar:
        return unsignedNum(as<uchar>(p));
    case VelMetaType::VelCharType:
        return unsignedNum(as<VelChar>(p).unicode());
    default:
        return Num();
    }
}

// Whole-text integer or real number; blanks around it are allowed.
Num parseNumber(const VelByteArray &text, bool integerOnly)
{
    const std::string s = text.trimmed().toStdString();
    if (s.empty())
        return Num();
    const char *begin = s.c_str();
    const char *end = begin + s.size();
    long long sv = 0;
    auto r = std::from_chars(begin, end, sv);
    if (r.ec == std::errc() && r.ptr == end)
        return signedNum(sv);
    unsigned long long uv = 0;
    r = std::from_chars(begin[0] == '+' ? begin + 1 : begin, end, uv);
    if (r.ec == std::errc() && r.ptr == end)
        return unsignedNum(uv);
    if (integerOnly)
        return Num();
    char *stop = nullptr;
    const double dv = std::strtod(begin, &stop);
    if (stop == end)
        return floatingNum(dv);
    return Num();
}

VelString doubleText(double d)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return VelString::fromLatin1(buf, int(r.ptr - buf));
}

VelString numberText(const Num &n)
{
    switch (n.kind) {
    case NumKind::Signed:
        return VelString(std::to_string(n.s).c_str());
    case NumKind::Unsigned:
        return VelString(std::to_string(n.u).c_str());
    case NumKind::Floating:
        return doubleText(n.d);
    case NumKind::None:
        break;
    }
    return VelString();
}

// Stores n into an integer T when it fits; reals are rounded to nearest.
template <typename T> bool storeInteger(const Num &n, void *out)
{
    const long double v = n.wide();
    long double rounded = v;
    if (n.kind == NumKind::Floating) {
        if (!std::isfinite(n.d))
            return false;
        rounded = std::round(v);
    }
    if (rounded < (long double)std::numeric_limits<T>::min() ||
        rounded > (long double)std::numeric_limits<T>::max())
        return false;
    T value;
    if (n.kind == NumKind::Signed)
        value = T(n.s);
    else if (n.kind == NumKind::Unsigned)
        value = T(n.u);
    else
        value = T(rounded);
    *static_cast<T *>(out) = value;
    return true;
}

bool storeNumber(int target, const Num &n, void *out)
{
    if (n.kind == NumKind::None)
        return false;
    switch (target) {
    case VelMetaType::Bool:
        *static_cast<bool *>(out) = n.wide() != 0;
        return true;
    case VelMetaType::Int:
        return storeInteger<int>(n, out);
    case VelMetaType::UInt:
        return storeInteger<uint>(n, out);
    case VelMetaType::LongLong:
        return storeInteger<long long>(n, out);
    case VelMetaType::ULongLong:
        return storeInteger<unsigned long long>(n, out);
    case VelMetaType::Long:
        return storeInteger<long>(n, out);
    case VelMetaType::ULong:
        return storeInteger<unsigned long>(n, out);
    case VelMetaType::Short:
        return storeInteger<short>(n, out);
    case VelMetaType::UShort:
        return storeInteger<ushort>(n, out);
    case VelMetaType::Char:
        return storeInteger<char>(n, out);
    case VelMetaType::SChar:
        return storeInteger<signed char>(n, out);
    case VelMetaType::UChar:
        return storeInteger<uchar>(n, out);
    case VelMetaType::Double:
        *static_cast<double *>(out) = double(n.wide());
        return true;
    case VelMetaType::Float:
        *static_cast<float *>(out) = float(n.wide());
        return true;
    case VelMetaType::VelCharType: {
        ushort unit = 0;
        if (!storeInteger<ushort>(n, &unit))
            return false;
        *static_cast<VelChar *>(out) = VelChar(char16_t(unit));
        return true;
    }
    default:
        return false;
    }
}

bool isTextType(int type)
{
    return type == VelMetaType::VelStringType || type == VelMetaType::VelByteArrayType;
}

VelByteArray heldText(int type, const void *p)
{
    if (type == VelMetaType::VelStringType)
        return as<VelString>(p).toUtf8();
    return as<VelByteArray>(p);
}

bool textToBool(const VelByteArray &text)
{
    const VelByteArray t = text.trimmed().toLower();
    return !(t.isEmpty() || t == "0" || t == "false");
}

// --- comparators of same-type values ---------------------------------------------

std::mutex g_comparatorMutex; // guards comparators(); a leaf lock

std::unordered_map<int, VelVariant::Comparator> &comparators()
{
    static auto *table = new std::unordered_map<int, VelVariant::Comparator>; // outlives statics
    return *table;
}

template <typename T> void addComparator(int id)
{
    comparators()[id] = [](const void *a, const void *b) { return bool(as<T>(a) == as<T>(b)); };
}

VelVariant::Comparator comparatorFor(int type)
{
    static std::once_flag builtins;
    std::call_once(builtins, [] {
        const int ids[] = {dateId(),      timeId(),   dateTimeId(), rectId(),  rectFId(),
                           pointId(),     pointFId(), sizeId(),     sizeFId(), localeId(),
                           stringRefId(), urlId(),    uuidId()};
        VEL_UNUSED(ids); // registers the ids before the table is filled
        std::lock_guard<std::mutex> lock(g_comparatorMutex);
        addComparator<VelChar>(VelMetaType::VelCharType);
        addComparator<VelString>(VelMetaType::VelStringType);
        addComparator<VelStringList>(VelMetaType::VelStringListType);
        addComparator<VelByteArray>(VelMetaType::VelByteArrayType);
        addComparator<VelDate>(dateId());
        addComparator<VelTime>(timeId());
        addComparator<VelDateTime>(dateTimeId());
        addComparator<VelRect>(rectId());
        addComparator<VelRectF>(rectFId());
        addComparator<VelPoint>(pointId());
        addComparator<VelPointF>(pointFId());
        addComparator<VelSize>(sizeId());
        addComparator<VelSizeF>(sizeFId());
        addComparator<VelLocale>(localeId());
        addComparator<VelStringRef>(stringRefId());
        addComparator<VelUrl>(urlId());
        addComparator<VelUuid>(uuidId());
        addComparator<VelObject *>(VelMetaType::VelObjectStar);
        addComparator<void *>(VelMetaType::VoidStar);
    });
    std::lock_guard<std::mutex> lock(g_comparatorMutex);
    const auto it = comparators().find(type);
    return it == comparators().end() ? nullptr : it->second;
}

// --- which conversions exist ------------------------------------------------------

bool isStringTarget(int from)
{
    return isNumericType(from) || from == VelMetaType::VelCharType || isTextType(from) ||
           from == VelMetaType::VelStringListType || from == stringRefId() || from == dateId() ||
           from == timeId() || from == dateTimeId() || from == localeId() || from == urlId() ||
           from == uuidId();
}

bool conversionExists(int from, int to)
{
    if (from == VelMetaType::UnknownType || to == VelMetaType::UnknownType)
        return false;
    if (from == to)
        return true;
    if (isNumericType(to) || to == VelMetaType::VelCharType)
        return isNumericType(from) || from == VelMetaType::VelCharType || isTextType(from);
    if (to == VelMetaType::VelStringType)
        return isStringTarget(from);
    if (to == VelMetaType::VelByteArrayType)
        return isNumericType(from) || from == VelMetaType::VelStringType ||
               from == VelMetaType::VelCharType;
    if (to == VelMetaType::VelStringListType)
        return from == VelMetaType::VelStringType;
    if (to == stringRefId())
        return from == VelMetaType::VelStringType;
    if (to == dateId())
        return from == dateTimeId() || from == VelMetaType::VelStringType;
    if (to == timeId())
        return from == dateTimeId() || from == VelMetaType::VelStringType;
    if (to == dateTimeId())
        return from == dateId() || from == VelMetaType::VelStringType;
    if (to == rectId())
        return from == rectFId();
    if (to == rectFId())
        return from == rectId();
    if (to == pointId())
        return from == pointFId();
    if (to == pointFId())
        return from == pointId();
    if (to == sizeId())
        return from == sizeFId();
    if (to == sizeFId())
        return from == sizeId();
    if (to == localeId() || to == urlId() || to == uuidId())
        return from == VelMetaType::VelStringType;
    return false;
}

} // namespace

// --- construction ------------------------------------------------------------------------

template <typename T> void VelVariant::set(int typeId, const T &value)
{
    m_type = typeId;
    m_data = VelMetaType::create(typeId, &value);
    if (!m_data)
        m_type = Invalid;
}

VelVariant::VelVariant(bool b)
{
    set(Bool, b);
}
VelVariant::VelVariant(int i)
{
    set(Int, i);
}
VelVariant::VelVariant(uint u)
{
    set(UInt, u);
}
VelVariant::VelVariant(long l)
{
    set(LongLong, (long long)l);
}
VelVariant::VelVariant(unsigned long ul)
{
    set(ULongLong, (unsigned long long)ul);
}
VelVariant::VelVariant(long long ll)
{
    set(LongLong, ll);
}
VelVariant::VelVariant(unsigned long long ull)
{
    set(ULongLong, ull);
}
VelVariant::VelVariant(double d)
{
    set(Double, d);
}
VelVariant::VelVariant(float f)
{
    set(Double, double(f));
}
VelVariant::VelVariant(VelChar c)
{
    set(Char, c);
}
VelVariant::VelVariant(const char *utf8)
{
    set(String, VelString(utf8));
}
VelVariant::VelVariant(const VelString &s)
{
    set(String, s);
}
VelVariant::VelVariant(const VelStringList &l)
{
    set(StringList, l);
}
VelVariant::VelVariant(const VelByteArray &b)
{
    set(ByteArray, b);
}
VelVariant::VelVariant(const VelStringRef &r)
{
    set(stringRefId(), r);
}
VelVariant::VelVariant(const VelDate &d)
{
    set(dateId(), d);
}
VelVariant::VelVariant(const VelTime &t)
{
    set(timeId(), t);
}
VelVariant::VelVariant(const VelDateTime &dt)
{
    set(dateTimeId(), dt);
}
VelVariant::VelVariant(const VelRect &r)
{
    set(rectId(), r);
}
VelVariant::VelVariant(const VelRectF &r)
{
    set(rectFId(), r);
}
VelVariant::VelVariant(const VelPoint &p)
{
    set(pointId(), p);
}
VelVariant::VelVariant(const VelPointF &p)
{
    set(pointFId(), p);
}
VelVariant::VelVariant(const VelSize &s)
{
    set(sizeId(), s);
}
VelVariant::VelVariant(const VelSizeF &s)
{
    set(sizeFId(), s);
}
VelVariant::VelVariant(const VelLocale &l)
{
    set(localeId(), l);
}

VelVariant::VelVariant(int typeId, const void *copy)
{
    if (!VelMetaType::isRegistered(typeId)) {
        velWarning("VelVariant: type %d is not registered", typeId);
        return;
    }
    m_data = VelMetaType::create(typeId, copy);
    if (m_data)
        m_type = typeId;
}

VelVariant::VelVariant(const VelVariant &other)
{
    if (other.m_data) {
        m_data = VelMetaType::create(other.m_type, other.m_data);
        m_type = m_data ? other.m_type : int(Invalid);
    }
}

VelVariant::VelVariant(VelVariant &&other) noexcept : m_type(other.m_type), m_data(other.m_data)
{
    other.m_type = Invalid;
    other.m_data = nullptr;
}

VelVariant &VelVariant::operator=(const VelVariant &other)
{
    if (this != &other) {
        VelVariant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

VelVariant &VelVariant::operator=(VelVariant &&other) noexcept
{
    if (this != &other) {
        clear();
        m_type = other.m_type;
        m_data = other.m_data;
        other.m_type = Invalid;
        other.m_data = nullptr;
    }
    return *this;
}

VelVariant::~VelVariant()
{
    clear();
}

void VelVariant::clear()
{
    if (m_data)
        VelMetaType::destroy(m_type, m_data);
    m_data = nullptr;
    m_type = Invalid;
}

const char *VelVariant::typeName() const
{
    return m_type == Invalid ? nullptr : VelMetaType::typeName(m_type);
}

bool VelVariant::isNull() const
{
    if (m_type == Invalid)
        return true;
    if (m_type == String)
        return as<VelString>(m_data).isNull();
    if (m_type == ByteArray)
        return as<VelByteArray>(m_data).isNull();
    if (m_type == dateId())
        return as<VelDate>(m_data).isNull();
    if (m_type == timeId())
        return as<VelTime>(m_data).isNull();
    if (m_type == dateTimeId())
        return as<VelDateTime>(m_data).isNull();
    if (m_type == stringRefId())
        return as<VelStringRef>(m_data).isNull();
    return false;
}

void VelVariant::registerComparator(int typeId, Comparator compare)
{
    comparatorFor(typeId); // fills the built-in entries first
    std::lock_guard<std::mutex> lock(g_comparatorMutex);
    comparators()[typeId] = compare;
}

// --- conversion ----------------------------------------------------------------------------

bool VelVariant::canConvert(int targetType) const
{
    return conversionExists(m_type, targetType);
}

bool VelVariant::convert(int targetType)
{
    if (targetType == m_type)
        return isValid();
    VelVariant result(targetType, nullptr);
    const bool ok = result.isValid() && convertTo(targetType, result.m_data, nullptr);
    if (!ok && result.isValid()) {
        // Leave a default value of the target type, not a half-written one.
        result = VelVariant(targetType, nullptr);
    }
    *this = std::move(result);
    return ok;
}

bool VelVariant::convertTo(int target, void *out, bool *ok) const
{
    bool done = false;
    if (!conversionExists(m_type, target)) {
        done = false;
    } else if (target == m_type) {
        VelMetaType::destruct(target, out);
        VelMetaType::construct(target, out, m_data);
        done = true;
    } else if (isNumericType(target) || target == VelMetaType::VelCharType) {
        if (target == VelMetaType::Bool && isTextType(m_type)) {
            *static_cast<bool *>(out) = textToBool(heldText(m_type, m_data));
            done = true;
        } else {
            const bool integerTarget =
                target != VelMetaType::Double && target != VelMetaType::Float;
            const Num n = isTextType(m_type) ? parseNumber(heldText(m_type, m_data), integerTarget)
                                             : heldNumber(m_type, m_data);
            done = storeNumber(target, n, out);
        }
    } else if (target == String) {
        VelString s;
        done = true;
        if (m_type == Bool)
            s = VelString(as<bool>(m_data) ? "true" : "false");
        else if (isNumericType(m_type))
            s = numberText(heldNumber(m_type, m_data));
        else if (m_type == Char)
            s = VelString(as<VelChar>(m_data));
        else if (m_type == ByteArray)
            s = VelString::fromUtf8(as<VelByteArray>(m_data));
        else if (m_type == StringList) {
            const auto &list = as<VelStringList>(m_data);
            done = list.size() <= 1;
            if (list.size() == 1)
                s = list.front();
        } else if (m_type == stringRefId())
            s = as<VelStringRef>(m_data).toString();
        else if (m_type == dateId())
            s = as<VelDate>(m_data).toString(Vel::ISODate);
        else if (m_type == timeId()) {
            const VelTime &t = as<VelTime>(m_data);
            s = t.toString(t.msec() > 0 ? Vel::ISODateWithMs : Vel::ISODate);
        } else if (m_type == dateTimeId()) {
            const VelDateTime &dt = as<VelDateTime>(m_data);
            s = dt.toString(dt.msec() > 0 ? Vel::ISODateWithMs : Vel::ISODate);
        } else if (m_type == localeId())
            s = as<VelLocale>(m_data).name();
        else if (m_type == urlId())
            s = as<VelUrl>(m_data).toString();
        else if (m_type == uuidId())
            s = as<VelUuid>(m_data).toString();
        else
            done = false;
        if (done)
            *static_cast<VelString *>(out) = s;
    } else if (target == ByteArray) {
        if (m_type == String)
            *static_cast<VelByteArray *>(out) = as<VelString>(m_data).toUtf8();
        else if (m_type == Bool)
            *static_cast<VelByteArray *>(out) = VelByteArray(as<bool>(m_data) ? "true" : "false");
        else if (m_type == Char)
            *static_cast<VelByteArray *>(out) = VelString(as<VelChar>(m_data)).toUtf8();
        else
            *static_cast<VelByteArray *>(out) = numberText(heldNumber(m_type, m_data)).toUtf8();
        done = true;
    } else if (target == StringList) {
        *static_cast<VelStringList *>(out) = VelStringList{as<VelString>(m_data)};
        done = true;
    } else if (target == stringRefId()) {
        *static_cast<VelStringRef *>(out) = VelStringRef(as<VelString>(m_data));
        done = true;
    } else if (target == dateId()) {
        const VelDate d = m_type == dateTimeId() ? as<VelDateTime>(m_data).date()
                                                 : VelDate::fromString(as<VelString>(m_data));
        *static_cast<VelDate *>(out) = d;
        done = d.isValid();
    } else if (target == timeId()) {
        const VelTime t = m_type == dateTimeId() ? as<VelDateTime>(m_data).time()
                                                 : VelTime::fromString(as<VelString>(m_data));
        *static_cast<VelTime *>(out) = t;
        done = t.isValid();
    } else if (target == dateTimeId()) {
        const VelDateTime dt = m_type == dateId() ? VelDateTime(as<VelDate>(m_data))
                                                  : VelDateTime::fromString(as<VelString>(m_data));
        *static_cast<VelDateTime *>(out) = dt;
        done = dt.isValid();
    } else if (target == rectId()) {
        *static_cast<VelRect *>(out) = as<VelRectF>(m_data).toRect();
        done = true;
    } else if (target == rectFId()) {
        *static_cast<VelRectF *>(out) = VelRectF(as<VelRect>(m_data));
        done = true;
    } else if (target == pointId()) {
        *static_cast<VelPoint *>(out) = as<VelPointF>(m_data).toPoint();
        done = true;
    } else if (target == pointFId()) {
        *static_cast<VelPointF *>(out) = VelPointF(as<VelPoint>(m_data));
        done = true;
    } else if (target == sizeId()) {
        *static_cast<VelSize *>(out) = as<VelSizeF>(m_data).toSize();
        done = true;
    } else if (target == sizeFId()) {
        *static_cast<VelSizeF *>(out) = VelSizeF(as<VelSize>(m_data));
        done = true;
    } else if (target == localeId()) {
        *static_cast<VelLocale *>(out) = VelLocale(as<VelString>(m_data));
        done = true;
    } else if (target == urlId()) {
        const VelUrl url(as<VelString>(m_data));
        *static_cast<VelUrl *>(out) = url;
        done = url.isValid();
    } else if (target == uuidId()) {
        const VelUuid uuid(as<VelString>(m_data));
        *static_cast<VelUuid *>(out) = uuid;
        done = !uuid.isNull();
    }
    if (ok)
        *ok = done;
    return done;
}

int VelVariant::toInt(bool *ok) const
{
    int v = 0;
    if (!convertTo(Int, &v, ok))
        v = 0;
    return v;
}

uint VelVariant::toUInt(bool *ok) const
{
    uint v = 0;
    if (!convertTo(UInt, &v, ok))
        v = 0;
    return v;
}

long long VelVariant::toLongLong(bool *ok) const
{
    long long v = 0;
    if (!convertTo(LongLong, &v, ok))
        v = 0;
    return v;
}

unsigned long long VelVariant::toULongLong(bool *ok) const
{
    unsigned long long v = 0;
    if (!convertTo(ULongLong, &v, ok))
        v = 0;
    return v;
}

double VelVariant::toDouble(bool *ok) const
{
    double v = 0;
    if (!convertTo(Double, &v, ok))
        v = 0;
    return v;
}

float VelVariant::toFloat(bool *ok) const
{
    float v = 0;
    if (!convertTo(VelMetaType::Float, &v, ok))
        v = 0;
    return v;
}

bool VelVariant::toBool() const
{
    bool v = false;
    if (!convertTo(Bool, &v, nullptr))
        v = false;
    return v;
}

VelChar VelVariant::toChar() const
{
    VelChar v;
    if (!convertTo(Char, &v, nullptr))
        v = VelChar();
    return v;
}

VelString VelVariant::toString() const
{
    VelString v;
    if (!convertTo(String, &v, nullptr))
        v = VelString();
    return v;
}

VelStringList VelVariant::toStringList() const
{
    VelStringList v;
    if (!convertTo(StringList, &v, nullptr))
        v = VelStringList();
    return v;
}

VelByteArray VelVariant::toByteArray() const
{
    VelByteArray v;
    if (!convertTo(ByteArray, &v, nullptr))
        v = VelByteArray();
    return v;
}

VelDate VelVariant::toDate() const
{
    return value<VelDate>();
}
VelTime VelVariant::toTime() const
{
    return value<VelTime>();
}
VelDateTime VelVariant::toDateTime() const
{
    return value<VelDateTime>();
}
VelRect VelVariant::toRect() const
{
    return value<VelRect>();
}
VelRectF VelVariant::toRectF() const
{
    return value<VelRectF>();
}
VelPoint VelVariant::toPoint() const
{
    return value<VelPoint>();
}
VelPointF VelVariant::toPointF() const
{
    return value<VelPointF>();
}
VelSize VelVariant::toSize() const
{
    return value<VelSize>();
}
VelSizeF VelVariant::toSizeF() const
{
    return value<VelSizeF>();
}
VelLocale VelVariant::toLocale() const
{
    return value<VelLocale>();
}

// --- equality ----------------------------------------------------------------------------

bool VelVariant::equals(const VelVariant &other) const
{
    if (m_type == Invalid || other.m_type == Invalid)
        return m_type == other.m_type;
    const bool numeric = isNumericType(m_type) && isNumericType(other.m_type);
    if (numeric)
        return heldNumber(m_type, m_data).wide() == heldNumber(other.m_type, other.m_data).wide();
    if (m_type == other.m_type) {
        if (const Comparator compare = comparatorFor(m_type))
            return compare(m_data, other.m_data);
        return m_data == other.m_data;
    }
    // A string equals a value whose text form it is ("5" and 5).
    if (m_type == String && other.canConvert(String))
        return as<VelString>(m_data) == other.toString();
    if (other.m_type == String && canConvert(String))
        return toString() == as<VelString>(other.m_data);
    return false;
}

// --- debug output -----------------------------------------------------------------------

VelDebug &operator<<(VelDebug &d, const VelVariant &v)
{
    if (!v.isValid()) {
        d.appendRaw("VelVariant(Invalid)");
        return d.maybeSpace();
    }
    std::string text = std::string("VelVariant(") + v.typeName();
    if (v.canConvert(VelMetaType::VelStringType))
        text += ", " + v.toString().toStdString();
    text += ")";
    d.appendRaw(text);
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelVariant &v)
{
    d << v;
    return std::move(d);
}
