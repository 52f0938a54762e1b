#include "velaccessibletextinterface.h"

VelAccessibleTextInterface::~VelAccessibleTextInterface() = default;

VelRect VelAccessibleTextInterface::characterRect(int) const
{
    return VelRect();
}

int VelAccessibleTextInterface::offsetAtPoint(const VelPoint &) const
{
    return -1;
}

void VelAccessibleTextInterface::scrollToSubstring(int, int) {}
