#ifndef VELPLATFORMSERVICES_H
#define VELPLATFORMSERVICES_H

#include "velbytearray.h"
#include "velglobal.h"

class VelUrl;

// Desktop services a platform integration offers: opening URLs and documents
// with the system's programs and naming the desktop. The defaults do nothing.
class VelPlatformServices
{
public:
    VelPlatformServices();
    virtual ~VelPlatformServices();

    virtual bool openUrl(const VelUrl &url);
    virtual bool openDocument(const VelUrl &url);
    virtual VelByteArray desktopEnvironment() const;

private:
    VEL_DISABLE_COPY(VelPlatformServices)
};

#endif
