#include "velbinaryjson.h"
#include "velfactoryloader.h"
#include "veljsonarray.h"
#include "veljsonobject.h"
#include "veljsonvalue.h"
#include "velplugin.h"
#include "velpluginloader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

constexpr VelPluginMetaDataBlock testBlock =
    velPluginMetaData("VelTestIntegrationPlugin", {"Android"});
static_assert(sizeof(testBlock) == 280, "the metadata block is exactly 280 bytes");

constexpr VelPluginMetaDataBlock otherInterfaceBlock =
    velPluginMetaData("VelOtherPlugin", {"android", "other"}, "org.vel.SomethingElse");

int integrationObject;
int otherObject;
int instanceCalls = 0;

// Never dereferenced: the tests only compare addresses.
VelObject *testInstance()
{
    ++instanceCalls;
    return reinterpret_cast<VelObject *>(&integrationObject);
}
const char *testMetaData()
{
    return testBlock.bytes;
}
VelObject *otherInstance()
{
    return reinterpret_cast<VelObject *>(&otherObject);
}
const char *otherMetaData()
{
    return otherInterfaceBlock.bytes;
}

// Registered from a static initialiser, as a plugin library does at load time.
const bool registeredAtLoad = [] {
    velRegisterStaticPluginFunction(VelStaticPlugin{otherInstance, otherMetaData});
    velRegisterStaticPluginFunction(VelStaticPlugin{testInstance, testMetaData});
    return true;
}();

const char expectedObject[] =
    "{\"IID\":\"org.vel.VelPlatformIntegrationFactoryInterface.5.2\","
    "\"className\":\"VelTestIntegrationPlugin\",\"version\":328192,\"debug\":false,"
    "\"MetaData\":{\"Keys\":[\"Android\"]}}";

TEST(IoPluginMetaData, BlockLayout)
{
    const char *b = testBlock.bytes;
    EXPECT_EQ(std::string(b, 12), "VELMETADATA ");
    EXPECT_EQ(std::string(b + 12, 4), "vbjs");
    EXPECT_EQ(std::string(b + 16, 4), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(static_cast<unsigned char>(b[20]), VelBinaryJson::Object);
    EXPECT_EQ(b[279], '\0') << "the object is padded with 0x00 up to the block's end";
}

TEST(IoPluginMetaData, LoaderReadsTheBlockBack)
{
    VelByteArray text;
    ASSERT_TRUE(VelPluginLoader::readMetaDataBlock(testBlock.bytes, &text));
    EXPECT_EQ(text.toStdString(), expectedObject);
}

// The run-time writer and the compile-time builder must agree byte for byte.
TEST(IoPluginMetaData, RuntimeWriterMatchesCompileTimeBlock)
{
    bool ok = false;
    const VelByteArray object = VelBinaryJson::fromJsonText(VelByteArray(expectedObject), 260, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(object.size(), 260);
    EXPECT_EQ(object, VelByteArray(testBlock.bytes + VelPluginMetaData::HeaderSize,
                                   VelPluginMetaData::ObjectSize));

    VelByteArray tooSmall = VelBinaryJson::fromJsonText(VelByteArray(expectedObject), 100, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(tooSmall.isEmpty());
}

TEST(IoPluginMetaData, DamagedBlocksAreRefused)
{
    auto damaged = [](int offset, char value) {
        VelPluginMetaDataBlock copy = testBlock;
        copy.bytes[offset] = value;
        VelByteArray text;
        return VelPluginLoader::readMetaDataBlock(copy.bytes, &text);
    };
    EXPECT_FALSE(damaged(0, 'X'));   // marker
    EXPECT_FALSE(damaged(11, '_'));  // the marker's blank
    EXPECT_FALSE(damaged(12, 'q'));  // tag
    EXPECT_FALSE(damaged(16, 2));    // version
    EXPECT_FALSE(damaged(19, 1));    // version, high byte
    EXPECT_FALSE(damaged(20, 0x06)); // top level must be an object
    EXPECT_FALSE(damaged(279, 1));   // padding must be zero
    EXPECT_FALSE(damaged(21, 100));  // member count beyond the data
    EXPECT_FALSE(VelPluginLoader::readMetaDataBlock(nullptr, nullptr));
}

TEST(IoBinaryJson, RoundTripKeepsValuesTypesAndOrder)
{
    const std::string json =
        "{\"z\":1,\"a\":[null,true,false,-7,2147483647,-2147483648,3000000000.0,0.5,"
        "-1.25e-10,\"\",\"\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80\"],\"nested\":{\"empty\":{},"
        "\"list\":[],\"deep\":[[[1]]]},\"quote\\\"key\":\"line\\nbreak\"}";
    bool ok = false;
    const VelByteArray encoded = VelBinaryJson::fromJsonText(VelByteArray(json), -1, &ok);
    ASSERT_TRUE(ok);
    const VelByteArray decoded =
        VelBinaryJson::toJsonText(encoded.constData(), encoded.size(), true, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(decoded.toStdString(), json);

    // Integers that fit 32 bits are stored as such, others as doubles.
    const VelByteArray small = VelBinaryJson::fromJsonText(VelByteArray("[-2]"));
    EXPECT_EQ(small.toStdString(), std::string("\x06\x01\x00\x00\x00\x03\xfe\xff\xff\xff", 10));
    const VelByteArray big = VelBinaryJson::fromJsonText(VelByteArray("[4294967296]"));
    ASSERT_EQ(big.size(), 5 + 9);
    EXPECT_EQ(static_cast<unsigned char>(big.at(5)), VelBinaryJson::Double);
    EXPECT_EQ(VelBinaryJson::toJsonText(big.constData(), big.size(), true).toStdString(),
              "[4294967296.0]");
}

TEST(IoBinaryJson, HostObjectsRoundTrip)
{
    VelJsonObject keys;
    VelJsonArray list;
    list.append(VelJsonValue(VelString("one")));
    list.append(VelJsonValue(2.5));
    keys.insert(VelString("Keys"), VelJsonValue(list));
    VelJsonObject object;
    object.insert(VelString("name"), VelJsonValue(VelString("\xc3\xa9t\xc3\xa9")));
    object.insert(VelString("count"), VelJsonValue(-12));
    object.insert(VelString("flag"), VelJsonValue(true));
    object.insert(VelString("MetaData"), VelJsonValue(keys));
    bool ok = false;
    const VelByteArray encoded = VelBinaryJson::fromJsonObject(object, 200, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(encoded.size(), 200);
    const VelJsonObject decoded =
        VelBinaryJson::toJsonObject(encoded.constData(), encoded.size(), true, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(decoded, object);

    VelPluginMetaDataBlock block = testBlock;
    const VelJsonObject fromBlock = VelBinaryJson::toJsonObject(block.bytes + 20, 260, true, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(fromBlock.value(VelString("MetaData"))
                  .toObject()
                  .value(VelString("Keys"))
                  .toArray()
                  .at(0)
                  .toString(),
              VelString("Android"));
    EXPECT_EQ(VelPluginLoader::metaData(VelStaticPlugin{testInstance, testMetaData}), fromBlock);

    const VelByteArray array = VelBinaryJson::fromJsonText(VelByteArray("[1]"));
    EXPECT_TRUE(VelBinaryJson::toJsonObject(array.constData(), array.size(), true, &ok).isEmpty());
    EXPECT_FALSE(ok) << "a top-level array is no object";
}

TEST(IoBinaryJson, MalformedInputFailsCleanly)
{
    bool ok = true;
    VelBinaryJson::fromJsonText(VelByteArray("{broken"), -1, &ok);
    EXPECT_FALSE(ok);

    const VelByteArray encoded = VelBinaryJson::fromJsonText(VelByteArray("{\"k\":\"value\"}"));
    for (int cut = 0; cut < encoded.size(); ++cut) {
        VelBinaryJson::toJsonText(encoded.constData(), cut, false, &ok);
        EXPECT_FALSE(ok) << "truncated at " << cut;
    }
    const std::string unknownType("\x09", 1);
    VelBinaryJson::toJsonText(unknownType.data(), 1, false, &ok);
    EXPECT_FALSE(ok);
    // Trailing garbage is refused only when padding is required.
    const VelByteArray trailing = encoded + VelByteArray("x");
    VelBinaryJson::toJsonText(trailing.constData(), trailing.size(), false, &ok);
    EXPECT_TRUE(ok);
    VelBinaryJson::toJsonText(trailing.constData(), trailing.size(), true, &ok);
    EXPECT_FALSE(ok);
    // Nesting beyond the limit is refused rather than recursing without end.
    std::string nested;
    for (int i = 0; i < 100; ++i)
        nested += std::string("\x06\x01\x00\x00\x00", 5);
    nested += std::string("\x00", 1);
    VelBinaryJson::toJsonText(nested.data(), int(nested.size()), true, &ok);
    EXPECT_FALSE(ok);
    // Invalid UTF-8 in a string cannot become JSON text.
    const std::string badUtf8("\x05\x01\x00\x00\x00\xff", 6);
    VelBinaryJson::toJsonText(badUtf8.data(), int(badUtf8.size()), true, &ok);
    EXPECT_FALSE(ok);
}

TEST(IoPluginLoader, StaticPluginsAreFoundByKeyInAnyCase)
{
    ASSERT_TRUE(registeredAtLoad);
    velRegisterStaticPluginFunction(VelStaticPlugin{testInstance, testMetaData}); // again
    EXPECT_EQ(VelPluginLoader::staticPlugins().size(), 2u);

    VelFactoryLoader loader(VEL_PLATFORM_INTEGRATION_FACTORY_IID);
    ASSERT_EQ(loader.count(), 1) << "a plugin of another interface is not this loader's";
    EXPECT_EQ(loader.keys(), VelStringList{VelString("android")});
    EXPECT_EQ(loader.indexOf(VelString("android")), 0);
    EXPECT_EQ(loader.indexOf(VelString("ANDROID")), 0);
    EXPECT_EQ(loader.indexOf(VelString("AnDrOiD")), 0);
    EXPECT_EQ(loader.indexOf(VelString("other")), -1);
    EXPECT_EQ(loader.indexOf(VelString()), -1);
    const int callsBefore = instanceCalls;
    EXPECT_EQ(loader.instance(0), reinterpret_cast<VelObject *>(&integrationObject));
    EXPECT_EQ(instanceCalls, callsBefore + 1);
    EXPECT_EQ(loader.instance(1), nullptr);
    EXPECT_EQ(loader.instance(-1), nullptr);
    ASSERT_EQ(loader.metaDataText().size(), 1u);
    EXPECT_EQ(loader.metaDataText().front().toStdString(), expectedObject);
    ASSERT_EQ(loader.metaData().size(), 1u);
    const VelJsonObject meta = loader.metaData().front();
    EXPECT_EQ(meta.value(VelString("className")).toString(), VelString("VelTestIntegrationPlugin"));
    EXPECT_EQ(meta.value(VelString("version")).toInt(), 328192);
    EXPECT_TRUE(meta.value(VelString("debug")).isBool());
    EXPECT_FALSE(meta.value(VelString("debug")).toBool(true));

    VelFactoryLoader otherLoader("org.vel.SomethingElse");
    EXPECT_EQ(otherLoader.indexOf(VelString("Other")), 0);
    EXPECT_EQ(otherLoader.instance(0), reinterpret_cast<VelObject *>(&otherObject));
}

} // namespace
