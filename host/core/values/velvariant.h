#ifndef VELVARIANT_H
#define VELVARIANT_H

#include "veldatetime.h"
#include "vellocale.h"
#include "velmetatype.h"
#include "velpointf.h"
#include "velrectf.h"
#include "velsizef.h"
#include "velstringref.h"

#include <type_traits>

// A value of any type known to the meta-type registry, or nothing (invalid).
// Type ids are the registry's: built-ins have fixed numbers, other types
// (dates, rectangles, locales, custom records) get theirs when first
// registered. Values are copied and destroyed through the registry's
// operations, so types registered at run time work like built-in ones.
//
// Conversions are range-checked: a value that does not fit the target (300
// to uchar, -1 to uint, 1e20 to int) or text that is not a number yields 0
// with *ok = false instead of a silently wrapped number.
class VelVariant
{
public:
    enum Type {
        Invalid = VelMetaType::UnknownType,
        Bool = VelMetaType::Bool,
        Int = VelMetaType::Int,
        UInt = VelMetaType::UInt,
        LongLong = VelMetaType::LongLong,
        ULongLong = VelMetaType::ULongLong,
        Double = VelMetaType::Double,
        Char = VelMetaType::VelCharType,
        String = VelMetaType::VelStringType,
        StringList = VelMetaType::VelStringListType,
        ByteArray = VelMetaType::VelByteArrayType,
        UserType = VelMetaType::User
    };

    VelVariant() = default;
    VelVariant(bool b);
    VelVariant(int i);
    VelVariant(uint u);
    VelVariant(long l);           // stored as LongLong
    VelVariant(unsigned long ul); // stored as ULongLong
    VelVariant(long long ll);
    VelVariant(unsigned long long ull);
    VelVariant(double d);
    VelVariant(float f); // stored as Double
    VelVariant(VelChar c);
    VelVariant(const char *utf8); // stored as String
    VelVariant(const VelString &s);
    VelVariant(const VelStringList &l);
    VelVariant(const VelByteArray &b);
    VelVariant(const VelStringRef &r);
    VelVariant(const VelDate &d);
    VelVariant(const VelTime &t);
    VelVariant(const VelDateTime &dt);
    VelVariant(const VelRect &r);
    VelVariant(const VelRectF &r);
    VelVariant(const VelPoint &p);
    VelVariant(const VelPointF &p);
    VelVariant(const VelSize &s);
    VelVariant(const VelSizeF &s);
    VelVariant(const VelLocale &l);
    // A copy of *copy (or a default value when copy is null) of a registered type.
    VelVariant(int typeId, const void *copy);

    VelVariant(const VelVariant &other);
    VelVariant(VelVariant &&other) noexcept;
    VelVariant &operator=(const VelVariant &other);
    VelVariant &operator=(VelVariant &&other) noexcept;
    ~VelVariant();

    int type() const { return m_type; }
    int userType() const { return m_type; }
    const char *typeName() const;
    bool isValid() const { return m_type != Invalid; }
    // Invalid, or holding an empty string / byte array or a null date, time,
    // date-time or string reference.
    bool isNull() const;
    void clear();
    const void *constData() const { return m_data; }
    const void *data() const { return m_data; }
    void *data() { return m_data; }

    bool canConvert(int targetType) const;
    template <typename T> bool canConvert() const { return canConvert(velMetaTypeId<T>()); }
    // Converts in place; on failure the variant holds a default value of the
    // target type and false is returned.
    bool convert(int targetType);

    int toInt(bool *ok = nullptr) const;
    uint toUInt(bool *ok = nullptr) const;
    long long toLongLong(bool *ok = nullptr) const;
    unsigned long long toULongLong(bool *ok = nullptr) const;
    double toDouble(bool *ok = nullptr) const;
    float toFloat(bool *ok = nullptr) const;
    bool toBool() const;
    VelChar toChar() const;
    VelString toString() const;
    VelStringList toStringList() const;
    VelByteArray toByteArray() const;
    VelDate toDate() const;
    VelTime toTime() const;
    VelDateTime toDateTime() const;
    VelRect toRect() const;
    VelRectF toRectF() const;
    VelPoint toPoint() const;
    VelPointF toPointF() const;
    VelSize toSize() const;
    VelSizeF toSizeF() const;
    VelLocale toLocale() const;

    // The held value, converted when the types differ and a conversion exists;
    // a default T otherwise.
    template <typename T> T value() const
    {
        const int target = velMetaTypeId<T>();
        if (m_type == target)
            return *static_cast<const T *>(m_data);
        if constexpr (std::is_default_constructible_v<T>) {
            T out{};
            if (convertTo(target, &out, nullptr))
                return out;
            return T();
        } else {
            static_assert(std::is_default_constructible_v<T>, "value<T>() needs a default T");
        }
    }

    template <typename T> static VelVariant fromValue(const T &value)
    {
        using U = std::decay_t<T>;
        if constexpr (std::is_same_v<U, long>)
            return VelVariant((long long)value);
        else if constexpr (std::is_same_v<U, unsigned long>)
            return VelVariant((unsigned long long)value);
        else if constexpr (std::is_same_v<U, VelVariant>)
            return value;
        else {
            const int id = velMetaTypeId<U>();
            registerComparator<U>(id);
            return VelVariant(id, &value);
        }
    }
    template <typename T> void setValue(const T &value) { *this = fromValue(value); }

    friend bool operator==(const VelVariant &a, const VelVariant &b) { return a.equals(b); }
    friend bool operator!=(const VelVariant &a, const VelVariant &b) { return !a.equals(b); }

    // Equality of a run-time registered type; fromValue<T>() records it for
    // any T with operator==, so variants of custom types compare by value.
    using Comparator = bool (*)(const void *, const void *);
    static void registerComparator(int typeId, Comparator compare);

private:
    template <typename T, typename = void> struct HasEquals : std::false_type {
    };
    template <typename T>
    struct HasEquals<T,
                     std::void_t<decltype(std::declval<const T &>() == std::declval<const T &>())>>
        : std::true_type {
    };
    template <typename T> static void registerComparator(int id)
    {
        if constexpr (HasEquals<T>::value) {
            static const bool once =
                (registerComparator(id,
                                    [](const void *a, const void *b) {
                                        return bool(*static_cast<const T *>(a) ==
                                                    *static_cast<const T *>(b));
                                    }),
                 true);
            VEL_UNUSED(once);
        }
    }

    template <typename T> void set(int typeId, const T &value);
    bool convertTo(int target, void *out, bool *ok) const;
    bool equals(const VelVariant &other) const;

    int m_type = Invalid;
    void *m_data = nullptr; // owned; created and destroyed through the registry
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelVariant &v);
VelDebug &&operator<<(VelDebug &&d, const VelVariant &v);

VEL_DECLARE_METATYPE(VelVariant)

#endif
