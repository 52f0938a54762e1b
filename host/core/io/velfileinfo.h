#ifndef VELFILEINFO_H
#define VELFILEINFO_H

#include "velstring.h"

#include <memory>

// What is known about one name: a local file, a ":/" resource or a name
// served by a file-engine handler. Answers are read once and cached until
// refresh().
class VelFileInfo
{
public:
    VelFileInfo();
    explicit VelFileInfo(const VelString &file);
    VelFileInfo(const VelFileInfo &other);
    VelFileInfo &operator=(const VelFileInfo &other);
    ~VelFileInfo();

    void setFile(const VelString &file);
    void refresh();

    bool exists() const;
    bool isFile() const;
    bool isDir() const;
    bool isReadable() const;
    bool isWritable() const;
    bool isExecutable() const;
    bool isHidden() const;
    bool isSymLink() const;
    bool isRelative() const;
    bool isAbsolute() const { return !isRelative(); }
    // False for resource names and names served by a file-engine handler.
    bool isNativePath() const;
    velint64 size() const;
    // Milliseconds since the epoch, or -1 when unknown.
    velint64 lastModified() const;

    VelString filePath() const; // the name as given
    VelString fileName() const; // the part after the last "/"
    VelString path() const;     // the part before the last "/", "." when none
    VelString absoluteFilePath() const;
    VelString absolutePath() const;
    VelString baseName() const; // fileName() up to the first "."
    VelString suffix() const;   // after the last "."

private:
    struct Private;
    std::shared_ptr<Private> d;
};

#endif
