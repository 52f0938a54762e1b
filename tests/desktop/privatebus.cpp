#include "privatebus.h"

#include <dbus/dbus.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{

const char registryPath[] = "/usr/libexec/at-spi2-registryd";

pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &extraEnv,
            int stdoutFd = -1)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    // A variable given here replaces the inherited one: with both, the
    // child's getenv would find the inherited one first.
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string &x : extraEnv)
            replaced |= entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced)
            envStrings.push_back(entry);
    }
    for (const std::string &e : extraEnv)
        envStrings.push_back(e);
    std::vector<char *> env;
    for (std::string &e : envStrings)
        env.push_back(const_cast<char *>(e.c_str()));
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t &pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

struct ConnectionCloser {
    void operator()(DBusConnection *c) const
    {
        dbus_connection_close(c);
        dbus_connection_unref(c);
    }
};

bool nameHasOwner(DBusConnection *c, const char *name)
{
    DBusMessage *call = dbus_message_new_method_call(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner");
    dbus_message_append_args(call, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(c, call, 5000, nullptr);
    dbus_message_unref(call);
    dbus_bool_t has = FALSE;
    if (reply) {
        dbus_message_get_args(reply, nullptr, DBUS_TYPE_BOOLEAN, &has, DBUS_TYPE_INVALID);
        dbus_message_unref(reply);
    }
    return has;
}

} // namespace

PrivateBus::PrivateBus()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_busPid = spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile",
                      "--print-address=1", "--address=unix:tmpdir=/tmp"},
                     {}, fds[1]);
    close(fds[1]);
    // The daemon prints its address once it listens: reading it is the wait.
    std::string address;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        address.push_back(c);
    close(fds[0]);
    if (m_busPid > 0 && !address.empty())
        m_address = address;
}

PrivateBus::~PrivateBus()
{
    killRegistry();
    killBus();
}

bool PrivateBus::startRegistry()
{
    if (!isRunning())
        return false;
    m_registryPid = spawn({registryPath}, {"AT_SPI_BUS_ADDRESS=" + m_address,
                                           "DBUS_SESSION_BUS_ADDRESS=" + m_address});
    return m_registryPid > 0 && waitForName(m_address, "org.a11y.atspi.Registry", 20000);
}

void PrivateBus::killRegistry()
{
    stop(m_registryPid);
}

void PrivateBus::killBus()
{
    stop(m_busPid);
}

std::string sharedRegistryBusAddress()
{
    const char *given = std::getenv("AT_SPI_BUS_ADDRESS");
    if (given && *given)
        return waitForName(given, "org.a11y.atspi.Registry", 20000) ? given : std::string();
    static std::unique_ptr<PrivateBus> own;
    if (!own) {
        own = std::make_unique<PrivateBus>();
        if (!own->startRegistry())
            return std::string();
    }
    return own->address();
}

bool waitForName(const std::string &address, const char *name, int boundMs)
{
    std::unique_ptr<DBusConnection, ConnectionCloser> c(
        dbus_connection_open_private(address.c_str(), nullptr));
    if (!c || !dbus_bus_register(c.get(), nullptr))
        return false;
    const std::string rule = std::string("type='signal',sender='org.freedesktop.DBus',"
                                         "member='NameOwnerChanged',arg0='") +
                             name + "'";
    dbus_bus_add_match(c.get(), rule.c_str(), nullptr);
    // Subscribed first, asked second: an owner arriving in between is seen
    // either way.
    if (nameHasOwner(c.get(), name))
        return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        dbus_connection_read_write(c.get(), int(left.count()) + 1);
        while (DBusMessage *m = dbus_connection_pop_message(c.get())) {
            const char *changed = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
            const bool owned =
                dbus_message_is_signal(m, "org.freedesktop.DBus", "NameOwnerChanged") &&
                dbus_message_get_args(m, nullptr, DBUS_TYPE_STRING, &changed, DBUS_TYPE_STRING,
                                      &oldOwner, DBUS_TYPE_STRING, &newOwner, DBUS_TYPE_INVALID) &&
                std::strcmp(changed, name) == 0 && *newOwner;
            dbus_message_unref(m);
            if (owned)
                return true;
        }
        if (!dbus_connection_get_is_connected(c.get()))
            return false;
    }
    return false;
}
