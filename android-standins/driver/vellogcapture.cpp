#include "vellogcapture.h"

#include "velstandin.h"

#include <algorithm>
#include <chrono>

VelLogCapture::VelLogCapture()
{
    velStandinSetLogCapture(&VelLogCapture::onMessage, this);
}

VelLogCapture::~VelLogCapture()
{
    velStandinSetLogCapture(nullptr, nullptr);
}

void VelLogCapture::onMessage(int prio, const char *tag, const char *text, void *self)
{
    VelLogCapture *capture = static_cast<VelLogCapture *>(self);
    {
        std::lock_guard<std::mutex> lock(capture->m_mutex);
        capture->m_entries.push_back(Entry{prio, tag, text});
    }
    capture->m_changed.notify_all();
}

std::vector<VelLogCapture::Entry> VelLogCapture::entries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

bool VelLogCapture::contains(int priority, const std::string &tag, const std::string &text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &e) {
        return e.priority == priority && e.tag == tag && e.text == text;
    });
}

bool VelLogCapture::waitFor(int priority, const std::string &tag, const std::string &text,
                            long timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &e) {
            return e.priority == priority && e.tag == tag && e.text == text;
        });
    });
}

void VelLogCapture::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}
