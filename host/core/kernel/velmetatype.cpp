#include "velmetatype.h"
#include "velsignature_p.h"

#include "vellogging.h"

#include <cctype>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{

struct TypeRecord {
    std::string name;
    VelMetaType::Operations ops;
};

class Registry
{
public:
    static Registry &instance()
    {
        // Leaked on purpose: static destructors of other libraries may still
        // destroy queued arguments after this library's statics are gone.
        static Registry *registry = new Registry;
        return *registry;
    }

    int registerType(const std::string &name, const VelMetaType::Operations &ops)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto known = m_byName.find(name);
        if (known != m_byName.end())
            return known->second;
        const int id = VelMetaType::User + int(m_user.size());
        m_user.push_back(TypeRecord{name, ops});
        m_byName.emplace(name, id);
        return id;
    }

    void registerBuiltin(int id, const std::string &name, const VelMetaType::Operations &ops)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_builtin[id] = TypeRecord{name, ops};
        m_byName.emplace(name, id);
    }

    int registerTypedef(const std::string &alias, int id)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!recordLocked(id))
            return VelMetaType::UnknownType;
        const auto known = m_byName.find(alias);
        if (known != m_byName.end())
            return known->second;
        m_byName.emplace(alias, id);
        return id;
    }

    int lookup(const std::string &name) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto known = m_byName.find(name);
        return known == m_byName.end() ? int(VelMetaType::UnknownType) : known->second;
    }

    // Records are never removed and the vectors only grow at registration,
    // so a copy of the record is handed out rather than a reference.
    bool record(int id, TypeRecord *out) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const TypeRecord *r = recordLocked(id);
        if (!r)
            return false;
        *out = *r;
        return true;
    }

    const char *name(int id) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const TypeRecord *r = recordLocked(id);
        // Records never move: built-ins sit in a fixed array, user records
        // in a deque that only grows at its end.
        return r ? r->name.c_str() : nullptr;
    }

private:
    Registry();

    const TypeRecord *recordLocked(int id) const
    {
        if (id > 0 && id <= VelMetaType::LastBuiltinType)
            return m_builtin[id].name.empty() ? nullptr : &m_builtin[id];
        const int index = id - VelMetaType::User;
        if (index >= 0 && index < int(m_user.size()))
            return &m_user[size_t(index)];
        return nullptr;
    }

    // Guards every table below; a leaf lock (nothing else is taken under it).
    mutable std::mutex m_mutex;
    TypeRecord m_builtin[VelMetaType::LastBuiltinType + 1];
    std::deque<TypeRecord> m_user;
    std::unordered_map<std::string, int> m_byName;
};

template <typename T> void addBuiltin(Registry &r)
{
    r.registerBuiltin(VelMetaTypeId<T>::id(), VelMetaTypeId<T>::name(),
                      VelMetaTypePrivate::Ops<T>::operations());
}

Registry::Registry()
{
    addBuiltin<bool>(*this);
    addBuiltin<int>(*this);
    addBuiltin<uint>(*this);
    addBuiltin<long long>(*this);
    addBuiltin<unsigned long long>(*this);
    addBuiltin<double>(*this);
    addBuiltin<float>(*this);
    addBuiltin<long>(*this);
    addBuiltin<ulong>(*this);
    addBuiltin<short>(*this);
    addBuiltin<ushort>(*this);
    addBuiltin<char>(*this);
    addBuiltin<signed char>(*this);
    addBuiltin<uchar>(*this);
    addBuiltin<VelChar>(*this);
    addBuiltin<VelString>(*this);
    addBuiltin<VelStringList>(*this);
    addBuiltin<VelByteArray>(*this);
    addBuiltin<VelObject *>(*this);
    addBuiltin<void *>(*this);
    // void has a name but no value operations.
    m_builtin[VelMetaType::Void] = TypeRecord{"void", VelMetaType::Operations()};
    m_byName.emplace("void", int(VelMetaType::Void));

    const struct {
        const char *alias;
        int id;
    } aliases[] = {
        {"unsigned", VelMetaType::UInt},         {"unsigned long", VelMetaType::ULong},
        {"unsigned short", VelMetaType::UShort}, {"unsigned char", VelMetaType::UChar},
        {"velint64", VelMetaType::Long},         {"veluint64", VelMetaType::ULong},
        {"velint32", VelMetaType::Int},          {"veluint32", VelMetaType::UInt},
        {"velreal", VelMetaType::Double},
    };
    for (const auto &a : aliases)
        m_byName.emplace(a.alias, a.id);
}

using VelSignature::collapseBlanks;
using VelSignature::isIdentChar;

} // namespace

VelByteArray VelMetaType::normalizedType(const char *typeName)
{
    if (!typeName)
        return VelByteArray();
    std::string t = collapseBlanks(typeName);
    // "const T&" and "T const&" travel as T; a const pointer target stays.
    const bool isConstRef = !t.empty() && t.back() == '&';
    if (isConstRef) {
        t.pop_back();
        if (t.compare(0, 6, "const ") == 0)
            t.erase(0, 6);
        else if (t.size() > 6 && t.compare(t.size() - 6, 6, " const") == 0)
            t.erase(t.size() - 6);
        else if (t.size() > 5 && t.compare(t.size() - 5, 5, "const") == 0 &&
                 !isIdentChar(t[t.size() - 6]))
            t.erase(t.size() - 5);
    } else if (t.compare(0, 6, "const ") == 0 && t.find('*') == std::string::npos) {
        t.erase(0, 6);
    }
    if (t == "unsigned int" || t == "unsigned")
        t = "uint";
    return VelByteArray(t);
}

int VelMetaType::registerType(const char *typeName, const Operations &operations)
{
    const VelByteArray name = normalizedType(typeName);
    if (name.isEmpty()) {
        velWarning("VelMetaType::registerType: empty type name");
        return UnknownType;
    }
    return Registry::instance().registerType(name.toStdString(), operations);
}

int VelMetaType::registerTypedef(const char *alias, int typeId)
{
    const VelByteArray name = normalizedType(alias);
    const int id = Registry::instance().registerTypedef(name.toStdString(), typeId);
    if (id != typeId)
        velWarning("VelMetaType::registerTypedef: %s is already a different type or %d is unknown",
                   name.constData(), typeId);
    return id;
}

int VelMetaType::type(const char *typeName)
{
    if (!typeName || !*typeName)
        return UnknownType;
    return Registry::instance().lookup(normalizedType(typeName).toStdString());
}

const char *VelMetaType::typeName(int typeId)
{
    return Registry::instance().name(typeId);
}

bool VelMetaType::isRegistered(int typeId)
{
    TypeRecord r;
    return Registry::instance().record(typeId, &r);
}

int VelMetaType::sizeOf(int typeId)
{
    TypeRecord r;
    return Registry::instance().record(typeId, &r) ? r.ops.size : 0;
}

void *VelMetaType::create(int typeId, const void *copy)
{
    TypeRecord r;
    if (!Registry::instance().record(typeId, &r) || !r.ops.create)
        return nullptr;
    return r.ops.create(copy);
}

void VelMetaType::destroy(int typeId, void *data)
{
    TypeRecord r;
    if (data && Registry::instance().record(typeId, &r) && r.ops.destroy)
        r.ops.destroy(data);
}

void *VelMetaType::construct(int typeId, void *where, const void *copy)
{
    TypeRecord r;
    if (!where || !Registry::instance().record(typeId, &r) || !r.ops.construct)
        return nullptr;
    return r.ops.construct(where, copy);
}

void VelMetaType::destruct(int typeId, void *data)
{
    TypeRecord r;
    if (data && Registry::instance().record(typeId, &r) && r.ops.destruct)
        r.ops.destruct(data);
}

bool VelSignature::isIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string VelSignature::collapseBlanks(const char *s)
{
    std::string out;
    bool pendingBlank = false;
    for (; *s; ++s) {
        const char c = *s;
        if (std::isspace(static_cast<unsigned char>(c))) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank && isIdentChar(out.back()) && isIdentChar(c))
            out.push_back(' ');
        pendingBlank = false;
        out.push_back(c);
    }
    return out;
}
