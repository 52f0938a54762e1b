#include "velmetaobject.h"
#include "velsignature_p.h"

#include "vellogging.h"
#include "velobject.h"
#include "velobject_p.h"
#include "velsemaphore.h"

#include <cctype>
#include <mutex>
#include <string>

struct VelMetaMethodData {
    VelMetaMethod::MethodType type = VelMetaMethod::Method;
    VelByteArray name;
    VelByteArray signature;
    VelByteArray returnTypeName;
    int (*returnTypeId)() = nullptr;
    std::vector<VelByteArray> parameterNames;
    std::vector<int (*)()> parameterIds;
    VelMetaObjectBuilder::Invoker invoker;
    bool hasSignalPointer = false;
    VelMetaObjectBuilder::MemberPointerBytes signalPointer{};
};

struct VelMetaObjectData {
    std::vector<VelMetaMethodData> methods;
};

namespace
{

// Guards the one-time building of every method table. A leaf lock: the
// build functions only record names and function pointers.
std::mutex &buildMutex()
{
    static std::mutex *mutex = new std::mutex;
    return *mutex;
}

using VelSignature::collapseBlanks;
using VelSignature::isIdentChar;

// Splits "a,b<c,d>,e" at the commas outside brackets.
std::vector<std::string> splitParameters(const std::string &list)
{
    std::vector<std::string> parts;
    if (list.empty())
        return parts;
    int depth = 0;
    std::string current;
    for (const char c : list) {
        if (c == '<' || c == '(' || c == '[')
            ++depth;
        else if (c == '>' || c == ')' || c == ']')
            --depth;
        if (c == ',' && depth == 0) {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

std::vector<std::string> parametersOf(const VelByteArray &signature)
{
    const std::string &s = signature.toStdString();
    const size_t open = s.find('(');
    const size_t close = s.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return splitParameters(s.substr(open + 1, close - open - 1));
}

VelByteArray describe(const VelMetaObject *mo, const char *signature)
{
    return VelByteArray(mo ? mo->className() : "<null>") +
           "::" + (signature ? signature : "<null>");
}

} // namespace

// ---- VelMetaObjectBuilder ----------------------------------------------------

void VelMetaObjectBuilder::addMethod(VelMetaMethod::MethodType type, const char *name,
                                     const char *returnTypeName, int (*returnTypeId)(),
                                     const std::vector<const char *> &parameterNames,
                                     const std::vector<int (*)()> &parameterIds, Invoker invoker)
{
    VelMetaMethodData m;
    m.type = type;
    m.name = VelByteArray(name);
    m.returnTypeName = VelMetaType::normalizedType(returnTypeName);
    m.returnTypeId = returnTypeId;
    VelByteArray signature = m.name + "(";
    for (size_t i = 0; i < parameterNames.size(); ++i) {
        const VelByteArray t = VelMetaType::normalizedType(parameterNames[i]);
        if (i)
            signature += ',';
        signature += t;
        m.parameterNames.push_back(t);
    }
    signature += ')';
    m.signature = signature;
    m.parameterIds = parameterIds;
    m.invoker = std::move(invoker);
    m_data->methods.push_back(std::move(m));
}

void VelMetaObjectBuilder::setLastSignalPointer(const MemberPointerBytes &bytes)
{
    if (m_data->methods.empty())
        return;
    m_data->methods.back().hasSignalPointer = true;
    m_data->methods.back().signalPointer = bytes;
}

// ---- VelMetaMethod -------------------------------------------------------------

VelByteArray VelMetaMethod::methodSignature() const
{
    return m_data ? m_data->signature : VelByteArray();
}

VelByteArray VelMetaMethod::name() const
{
    return m_data ? m_data->name : VelByteArray();
}

const char *VelMetaMethod::typeName() const
{
    return m_data ? m_data->returnTypeName.constData() : nullptr;
}

int VelMetaMethod::returnType() const
{
    return (m_data && m_data->returnTypeId) ? m_data->returnTypeId()
                                            : int(VelMetaType::UnknownType);
}

int VelMetaMethod::parameterCount() const
{
    return m_data ? int(m_data->parameterNames.size()) : 0;
}

int VelMetaMethod::parameterType(int index) const
{
    if (!m_data || index < 0 || index >= int(m_data->parameterIds.size()))
        return VelMetaType::UnknownType;
    const int id = m_data->parameterIds[size_t(index)]();
    return id ? id : VelMetaType::type(m_data->parameterNames[size_t(index)]);
}

VelByteArrayList VelMetaMethod::parameterTypes() const
{
    VelByteArrayList list;
    if (m_data) {
        for (const VelByteArray &n : m_data->parameterNames)
            list.push_back(n);
    }
    return list;
}

VelMetaMethod::MethodType VelMetaMethod::methodType() const
{
    return m_data ? m_data->type : Method;
}

bool VelMetaMethod::invoke(VelObject *object, Vel::ConnectionType type,
                           VelGenericReturnArgument returnValue, VelGenericArgument val0,
                           VelGenericArgument val1, VelGenericArgument val2,
                           VelGenericArgument val3, VelGenericArgument val4,
                           VelGenericArgument val5, VelGenericArgument val6,
                           VelGenericArgument val7, VelGenericArgument val8,
                           VelGenericArgument val9) const
{
    if (!object || !m_data)
        return false;
    const VelGenericArgument given[] = {val0, val1, val2, val3, val4, val5, val6, val7, val8, val9};
    const int count = parameterCount();
    for (int i = 0; i < count; ++i) {
        if (!given[i].name() ||
            VelMetaType::normalizedType(given[i].name()) != m_data->parameterNames[size_t(i)]) {
            velWarning("VelMetaMethod::invoke: argument %d of %s::%s does not match", i,
                       m_owner->className(), m_data->signature.constData());
            return false;
        }
    }
    if (returnValue.data() && returnValue.name() &&
        VelMetaType::normalizedType(returnValue.name()) != m_data->returnTypeName) {
        velWarning("VelMetaMethod::invoke: return type %s does not match %s::%s",
                   returnValue.name(), m_owner->className(), m_data->signature.constData());
        return false;
    }

    void *argv[11] = {returnValue.data()};
    for (int i = 0; i < count; ++i)
        argv[i + 1] = given[i].data();

    const bool sameThread = VelObjectPrivate::livesInCurrentThread(object);
    int connectionType = type & ~Vel::UniqueConnection;
    if (connectionType == Vel::AutoConnection)
        connectionType = sameThread ? Vel::DirectConnection : Vel::QueuedConnection;

    if (connectionType == Vel::DirectConnection) {
        object->vel_metacall(VelMetaObject::InvokeMetaMethod, m_index, argv);
        return true;
    }
    if (connectionType == Vel::QueuedConnection) {
        if (returnValue.data()) {
            velWarning("VelMetaMethod::invoke: queued calls cannot return a value (%s::%s)",
                       m_owner->className(), m_data->signature.constData());
            return false;
        }
        std::vector<int> types;
        std::vector<void *> copies;
        for (int i = 0; i < count; ++i) {
            const int id = parameterType(i);
            void *copy = id ? VelMetaType::create(id, argv[i + 1]) : nullptr;
            if (!copy) {
                velWarning("VelMetaMethod::invoke: unable to handle unregistered datatype '%s'",
                           m_data->parameterNames[size_t(i)].constData());
                for (size_t k = 0; k < copies.size(); ++k)
                    VelMetaType::destroy(types[k], copies[k]);
                return false;
            }
            types.push_back(id);
            copies.push_back(copy);
        }
        velPostEvent(object, new VelMetaCallEvent(nullptr, m_index, nullptr, nullptr, -1,
                                                  std::move(types), std::move(copies)));
        return true;
    }
    // Blocking queued.
    if (sameThread) {
        velWarning(
            "VelMetaMethod::invoke: dead lock detected: blocking queued call to %s::%s in the "
            "calling thread",
            m_owner->className(), m_data->signature.constData());
        return false;
    }
    VelSemaphore done;
    bool ran = false;
    velPostEvent(object,
                 new VelMetaCallEvent(nullptr, m_index, nullptr, nullptr, -1, argv, &done, &ran));
    done.acquire();
    if (!ran)
        velWarning("VelMetaMethod::invoke: %s::%s was dropped before it ran (receiver deleted or "
                   "its thread "
                   "finished)",
                   m_owner->className(), m_data->signature.constData());
    return ran;
}

// ---- VelMetaObject -------------------------------------------------------------

const VelMetaObjectData &VelMetaObject::data() const
{
    VelMetaObjectData *d = m_data.load(std::memory_order_acquire);
    if (d)
        return *d;
    std::lock_guard<std::mutex> lock(buildMutex());
    d = m_data.load(std::memory_order_relaxed);
    if (!d) {
        d = new VelMetaObjectData;
        if (m_build) {
            VelMetaObjectBuilder builder(d);
            m_build(builder);
        }
        m_data.store(d, std::memory_order_release);
    }
    return *d;
}

bool VelMetaObject::inherits(const VelMetaObject *metaObject) const
{
    if (!metaObject)
        return false;
    for (const VelMetaObject *m = this; m; m = m->m_superClass) {
        // Names as well as addresses: a class may be seen through two copies
        // of its meta-object when a library is linked statically twice.
        if (m == metaObject || std::strcmp(m->m_className, metaObject->m_className) == 0)
            return true;
    }
    return false;
}

VelObject *VelMetaObject::cast(VelObject *object) const
{
    return (object && object->metaObject()->inherits(this)) ? object : nullptr;
}

const VelObject *VelMetaObject::cast(const VelObject *object) const
{
    return (object && object->metaObject()->inherits(this)) ? object : nullptr;
}

int VelMetaObject::methodOffset() const
{
    return m_superClass ? m_superClass->methodCount() : 0;
}

int VelMetaObject::methodCount() const
{
    return methodOffset() + int(data().methods.size());
}

VelMetaMethod VelMetaObject::method(int index) const
{
    for (const VelMetaObject *m = this; m; m = m->m_superClass) {
        const int offset = m->methodOffset();
        if (index >= offset) {
            const VelMetaObjectData &d = m->data();
            if (index - offset >= int(d.methods.size()))
                return VelMetaMethod();
            VelMetaMethod result;
            result.m_owner = m;
            result.m_data = &d.methods[size_t(index - offset)];
            result.m_index = index;
            return result;
        }
    }
    return VelMetaMethod();
}

namespace
{
int findMethod(const VelMetaObject *mo, const char *signature,
               bool (*accept)(VelMetaMethod::MethodType))
{
    if (!signature)
        return -1;
    const VelByteArray wanted = VelMetaObject::normalizedSignature(signature);
    for (const VelMetaObject *m = mo; m; m = m->superClass()) {
        const int offset = m->methodOffset();
        const int count = m->methodCount();
        for (int i = offset; i < count; ++i) {
            const VelMetaMethod method = m->method(i);
            if (accept(method.methodType()) && method.methodSignature() == wanted)
                return i;
        }
    }
    return -1;
}
} // namespace

int VelMetaObject::indexOfMethod(const char *signature) const
{
    return findMethod(this, signature, [](VelMetaMethod::MethodType) { return true; });
}

int VelMetaObject::indexOfSignal(const char *signature) const
{
    return findMethod(this, signature,
                      [](VelMetaMethod::MethodType t) { return t == VelMetaMethod::Signal; });
}

int VelMetaObject::indexOfSlot(const char *signature) const
{
    return findMethod(this, signature,
                      [](VelMetaMethod::MethodType t) { return t == VelMetaMethod::Slot; });
}

int VelMetaObject::indexOfSignalPointer(const VelMetaObjectBuilder::MemberPointerBytes &bytes) const
{
    for (const VelMetaObject *m = this; m; m = m->m_superClass) {
        const VelMetaObjectData &d = m->data();
        for (size_t i = 0; i < d.methods.size(); ++i) {
            const VelMetaMethodData &method = d.methods[i];
            if (method.hasSignalPointer &&
                std::memcmp(method.signalPointer.data, bytes.data, sizeof(bytes.data)) == 0)
                return m->methodOffset() + int(i);
        }
    }
    return -1;
}

VelByteArray VelMetaObject::normalizedSignature(const char *method)
{
    if (!method)
        return VelByteArray();
    const std::string collapsed = collapseBlanks(method);
    const size_t open = collapsed.find('(');
    const size_t close = collapsed.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return VelByteArray(collapsed);
    std::string out = collapsed.substr(0, open + 1);
    const std::vector<std::string> params =
        splitParameters(collapsed.substr(open + 1, close - open - 1));
    const bool onlyVoid = params.size() == 1 && params[0] == "void";
    for (size_t i = 0; i < params.size() && !onlyVoid; ++i) {
        if (i)
            out.push_back(',');
        out += VelMetaType::normalizedType(params[i].c_str()).toStdString();
    }
    out += collapsed.substr(close);
    return VelByteArray(out);
}

bool VelMetaObject::checkConnectArgs(const char *signal, const char *method)
{
    const std::vector<std::string> s = parametersOf(normalizedSignature(signal));
    const std::vector<std::string> m = parametersOf(normalizedSignature(method));
    if (m.size() > s.size())
        return false;
    for (size_t i = 0; i < m.size(); ++i) {
        if (m[i] != s[i])
            return false;
    }
    return true;
}

bool VelMetaObject::invokeMethod(VelObject *object, const char *member, Vel::ConnectionType type,
                                 VelGenericReturnArgument ret, VelGenericArgument val0,
                                 VelGenericArgument val1, VelGenericArgument val2,
                                 VelGenericArgument val3, VelGenericArgument val4,
                                 VelGenericArgument val5, VelGenericArgument val6,
                                 VelGenericArgument val7, VelGenericArgument val8,
                                 VelGenericArgument val9)
{
    if (!object || !member) {
        velWarning("VelMetaObject::invokeMethod: no object or no method name");
        return false;
    }
    const VelGenericArgument given[] = {val0, val1, val2, val3, val4, val5, val6, val7, val8, val9};
    VelByteArray signature(member);
    signature += '(';
    for (int i = 0; i < 10 && given[i].name(); ++i) {
        if (i)
            signature += ',';
        signature += given[i].name();
    }
    signature += ')';
    const VelMetaObject *mo = object->metaObject();
    const int index = mo->indexOfMethod(signature.constData());
    if (index < 0) {
        velWarning(
            "VelMetaObject::invokeMethod: no such method %s",
            describe(mo, normalizedSignature(signature.constData()).constData()).constData());
        return false;
    }
    return mo->method(index).invoke(object, type, ret, val0, val1, val2, val3, val4, val5, val6,
                                    val7, val8, val9);
}

bool VelMetaObject::invokeFunctor(VelObject *context, std::unique_ptr<VelSlotObjectBase> slot,
                                  Vel::ConnectionType type)
{
    if (!context) {
        velWarning("VelMetaObject::invokeMethod: no context object for the functor");
        return false;
    }
    const bool sameThread = VelObjectPrivate::livesInCurrentThread(context);
    int connectionType = type & ~Vel::UniqueConnection;
    if (connectionType == Vel::AutoConnection)
        connectionType = sameThread ? Vel::DirectConnection : Vel::QueuedConnection;
    void *argv[1] = {nullptr};
    if (connectionType == Vel::DirectConnection) {
        slot->call(context, argv);
        return true;
    }
    std::shared_ptr<VelSlotObjectBase> shared(std::move(slot));
    if (connectionType == Vel::QueuedConnection) {
        velPostEvent(context, new VelMetaCallEvent(nullptr, -1, shared, nullptr, -1, {}, {}));
        return true;
    }
    if (sameThread) {
        velWarning(
            "VelMetaObject::invokeMethod: dead lock detected: blocking queued call to an object "
            "of the calling thread (%s)",
            context->metaObject()->className());
        return false;
    }
    VelSemaphore done;
    bool ran = false;
    velPostEvent(context,
                 new VelMetaCallEvent(nullptr, -1, shared, nullptr, -1, argv, &done, &ran));
    done.acquire();
    return ran;
}

int VelMetaObject::metacall(VelObject *object, Call call, int id, void **args) const
{
    if (call != InvokeMetaMethod)
        return id;
    const VelMetaMethod m = method(id);
    if (!m.isValid() || !m.m_data->invoker)
        return id;
    m.m_data->invoker(object, args);
    return -1;
}

int velSignalIndex(const VelMetaObject *metaObject, const VelByteArray &signature)
{
    const int index = metaObject->indexOfSignal(signature.constData());
    if (index < 0)
        velWarning("VEL_EMIT: %s is not a declared signal",
                   describe(metaObject,
                            VelMetaObject::normalizedSignature(signature.constData()).constData())
                       .constData());
    return index;
}
