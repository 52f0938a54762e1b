#include "velgenericunixservices.h"

#include "velenvironment.h"
#include "vellogging.h"
#include "velprocess.h"
#include "velstandardpaths.h"
#include "velurl.h"

namespace
{

VelByteArray detectDesktopEnvironment()
{
    const VelByteArray xdgCurrentDesktop = velgetenv("XDG_CURRENT_DESKTOP");
    if (!xdgCurrentDesktop.isEmpty())
        return xdgCurrentDesktop.toUpper();
    if (!velgetenv("KDE_FULL_SESSION").isEmpty())
        return VelByteArray("KDE");
    if (!velgetenv("GNOME_DESKTOP_SESSION_ID").isEmpty())
        return VelByteArray("GNOME");
    const VelByteArray desktopSession = velgetenv("DESKTOP_SESSION");
    if (desktopSession == "gnome")
        return VelByteArray("GNOME");
    if (desktopSession == "xfce")
        return VelByteArray("XFCE");
    return VelByteArray("UNKNOWN");
}

// The command for a program found on PATH. A path with blanks or quotes is
// quoted so that the command line splits back into the same program.
bool checkExecutable(const VelString &candidate, VelString *result)
{
    const VelString path = VelStandardPaths::findExecutable(candidate);
    if (path.isEmpty())
        return false;
    if (path.contains(VelChar(u' ')) || path.contains(VelChar(u'\t')) ||
        path.contains(VelChar(u'"'))) {
        VelString quoted = path;
        quoted.replace(VelString("\""), VelString("\"\""));
        *result = VelString("\"") + quoted + VelString("\"");
    } else {
        *result = path;
    }
    return true;
}

bool detectWebBrowser(const VelByteArray &desktop, bool checkBrowserVariable, VelString *browser)
{
    static const char *const browsers[] = {"google-chrome", "firefox", "mozilla", "opera"};

    browser->clear();
    if (checkExecutable(VelString("xdg-open"), browser))
        return true;

    if (checkBrowserVariable) {
        VelByteArray named = velgetenv("DEFAULT_BROWSER");
        if (named.isEmpty())
            named = velgetenv("BROWSER");
        if (!named.isEmpty() && checkExecutable(VelString::fromLocal8Bit(named), browser))
            return true;
    }

    if (desktop == "KDE") {
        // kfmclient opens URLs through its exec command.
        if (checkExecutable(VelString("kfmclient"), browser)) {
            browser->append(VelString(" exec"));
            return true;
        }
    } else if (desktop == "GNOME") {
        if (checkExecutable(VelString("gnome-open"), browser))
            return true;
    }

    for (const char *candidate : browsers) {
        if (checkExecutable(VelString(candidate), browser))
            return true;
    }
    browser->clear();
    return false;
}

bool launch(const VelString &command, const VelUrl &url)
{
    const VelString commandLine =
        command + VelChar(u' ') + VelString::fromLatin1(url.toEncoded().constData());
    if (!VelProcess::startDetached(commandLine)) {
        velWarning("Launch failed (%s)", commandLine.toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace

VelGenericUnixServices::VelGenericUnixServices() = default;

VelGenericUnixServices::~VelGenericUnixServices() = default;

VelByteArray VelGenericUnixServices::desktopEnvironment() const
{
    // A function-local static: concurrent first calls compute it once.
    static const VelByteArray desktop = detectDesktopEnvironment();
    return desktop;
}

bool VelGenericUnixServices::openUrl(const VelUrl &url)
{
    if (url.scheme() == VelString("mailto"))
        return openDocument(url);

    if (m_webBrowser.isEmpty() && !detectWebBrowser(desktopEnvironment(), true, &m_webBrowser)) {
        velWarning("%s: Unable to detect a web browser to launch '%s'", __PRETTY_FUNCTION__,
                   url.toString().toLocal8Bit().constData());
        return false;
    }
    return launch(m_webBrowser, url);
}

bool VelGenericUnixServices::openDocument(const VelUrl &url)
{
    if (m_documentLauncher.isEmpty() &&
        !detectWebBrowser(desktopEnvironment(), false, &m_documentLauncher)) {
        velWarning("%s: Unable to detect a launcher for '%s'", __PRETTY_FUNCTION__,
                   url.toString().toLocal8Bit().constData());
        return false;
    }
    return launch(m_documentLauncher, url);
}
