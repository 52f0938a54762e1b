#ifndef ASSETSTESTSUPPORT_H
#define ASSETSTESTSUPPORT_H

#include "velandroidassetsfileenginehandler.h"

#include <gtest/gtest.h>

#include <android/asset_manager.h>

#include <memory>
#include <string>
#include <vector>

// A directory under /tmp, removed with everything in it at the end.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }
    // Writes a file, making its directories.
    void write(const std::string &name, const std::string &content) const;
    void mkdir(const std::string &name) const;

private:
    std::string m_path;
};

// The asset manager the stand-in gives for a directory, through a Java
// AssetManager in the process's one Java VM (started on first use).
AAssetManager *assetManagerFor(const std::string &root);

// What VelAndroid::assetManager() answers from now on, as the bridge would
// after caching the activity's manager.
void setBridgeAssetManager(AAssetManager *manager);

// Every test gets its own asset tree (under dir().file("assets")), its own
// manager and its own handler, so that no listing cache outlives a test.
class AssetsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the handler, e.g. after changing the environment it reads.
    void recreateHandler();
    std::unique_ptr<AndroidAbstractFileEngine> engineFor(const std::string &name) const;
    void writeAsset(const std::string &name, const std::string &content) const
    {
        m_dir.write("assets/" + name, content);
    }

    ScratchDir m_dir;
    std::unique_ptr<AndroidAssetsFileEngineHandler> m_handler;
};

std::string binaryContent(int size);
std::vector<std::string> toStd(const VelStringList &list);

#endif
