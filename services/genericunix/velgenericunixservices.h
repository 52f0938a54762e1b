#ifndef VELGENERICUNIXSERVICES_H
#define VELGENERICUNIXSERVICES_H

#include "velplatformservices.h"
#include "velstring.h"

// Opens URLs and documents on a generic Unix desktop by starting a browser or
// launcher found on PATH, detached, with the fully encoded URL as its last
// argument. The program found first is kept for the object's life; a failed
// search is repeated on the next call.
class VelGenericUnixServices : public VelPlatformServices
{
public:
    VelGenericUnixServices();
    ~VelGenericUnixServices() override;

    bool openUrl(const VelUrl &url) override;
    bool openDocument(const VelUrl &url) override;
    // Named once per process from the desktop's environment variables.
    VelByteArray desktopEnvironment() const override;

private:
    VelString m_webBrowser;
    VelString m_documentLauncher;
};

#endif
