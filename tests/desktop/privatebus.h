#ifndef PRIVATEBUS_H
#define PRIVATEBUS_H

// A message bus of a test's own (a dbus-daemon child), optionally with the
// accessibility registry on it, so that a test may stop them without
// disturbing anyone else.

#include <string>
#include <sys/types.h>

class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.empty(); }
    const std::string &address() const { return m_address; }

    // Starts the registry on this bus and waits until it owns its name.
    bool startRegistry();
    void killRegistry();
    void killBus();

private:
    std::string m_address;
    pid_t m_busPid = -1;
    pid_t m_registryPid = -1;
};

// The bus the registry tests use: AT_SPI_BUS_ADDRESS when set (the test
// script starts a bus and a registry for the whole run), else a private bus
// with a registry started for this process.
std::string sharedRegistryBusAddress();

// Waits, without polling, until name has an owner on the bus at address:
// the bus's NameOwnerChanged signal ends the wait. False after bound ms,
// which only guards against a registry that never starts.
bool waitForName(const std::string &address, const char *name, int boundMs);

#endif
