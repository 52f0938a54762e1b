#include "fakeegl.h"
#include "logcapture.h"
#include "veleglconvenience.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace
{

using Attributes = std::vector<EGLint>;

VelVector<EGLint> makeList(std::initializer_list<EGLint> values)
{
    VelVector<EGLint> list;
    for (EGLint v : values)
        list.append(v);
    return list;
}

Attributes toStd(const VelVector<EGLint> &list)
{
    Attributes out;
    for (int i = 0; i < list.size(); ++i)
        out.push_back(list.at(i));
    return out;
}

FakeEgl::ConfigAttributes rgba(EGLint r, EGLint g, EGLint b, EGLint a, EGLint depth = 0,
                               EGLint stencil = 0)
{
    return {{EGL_RED_SIZE, r},
            {EGL_GREEN_SIZE, g},
            {EGL_BLUE_SIZE, b},
            {EGL_ALPHA_SIZE, a},
            {EGL_DEPTH_SIZE, depth},
            {EGL_STENCIL_SIZE, stencil},
            {EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_PBUFFER_BIT},
            {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT}};
}

VelSurfaceFormat rgbFormat(int r, int g, int b)
{
    VelSurfaceFormat format;
    format.setRedBufferSize(r);
    format.setGreenBufferSize(g);
    format.setBlueBufferSize(b);
    return format;
}

// The value following a name in a recorded list, -1 when the name is absent.
EGLint valueIn(const Attributes &list, EGLint name)
{
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
        if (list[i] == name)
            return list[i + 1];
    }
    return -1;
}

class ConfigChooserTest : public ::testing::Test
{
protected:
    void SetUp() override { FakeEgl::reset(); }
    LogCapture log;
};

// Exposes the colour targets the filter sees on every candidate.
class RecordingChooser : public VelEglConfigChooser
{
public:
    using VelEglConfigChooser::VelEglConfigChooser;
    bool filterConfig(EGLConfig config) const override
    {
        alphaTargets.push_back(m_confAttrAlpha);
        redTargets.push_back(m_confAttrRed);
        return VelEglConfigChooser::filterConfig(config);
    }
    mutable std::vector<EGLint> alphaTargets;
    mutable std::vector<EGLint> redTargets;
};

TEST_F(ConfigChooserTest, AttributesFromFormatClampUnsetSizesToZero)
{
    EXPECT_EQ(toStd(vel_createConfigAttributesFromFormat(VelSurfaceFormat())),
              (Attributes{EGL_RED_SIZE, 0, EGL_GREEN_SIZE, 0, EGL_BLUE_SIZE, 0, EGL_ALPHA_SIZE, 0,
                          EGL_DEPTH_SIZE, 0, EGL_STENCIL_SIZE, 0, EGL_SAMPLES, 0,
                          EGL_SAMPLE_BUFFERS, 0}));

    VelSurfaceFormat format = rgbFormat(5, 6, 5);
    format.setAlphaBufferSize(1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSamples(4);
    EXPECT_EQ(toStd(vel_createConfigAttributesFromFormat(format)),
              (Attributes{EGL_RED_SIZE, 5, EGL_GREEN_SIZE, 6, EGL_BLUE_SIZE, 5, EGL_ALPHA_SIZE, 1,
                          EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLES, 4,
                          EGL_SAMPLE_BUFFERS, 1}));
}

TEST_F(ConfigChooserTest, UnmatchableRequestRelaxesOneStepPerAttemptThenWarns)
{
    // No config at all: every attempt counts zero and the list is relaxed.
    VelSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSamples(4);
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), format, false, EGL_WINDOW_BIT), nullptr);

    const auto lists = FakeEgl::chooseConfigLists();
    const Attributes tail{EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE,
                          EGL_OPENGL_ES2_BIT};
    const Attributes rgb{EGL_RED_SIZE, 0, EGL_GREEN_SIZE, 0, EGL_BLUE_SIZE, 0};
    auto expected = [&](Attributes middle) {
        Attributes list = rgb;
        list.insert(list.end(), middle.begin(), middle.end());
        list.insert(list.end(), tail.begin(), tail.end());
        return list;
    };
    const std::vector<Attributes> wanted = {
        expected({EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLES, 4,
                  EGL_SAMPLE_BUFFERS, 1}),
        expected({EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLES, 2,
                  EGL_SAMPLE_BUFFERS, 1}),
        expected({EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLES, 1,
                  EGL_SAMPLE_BUFFERS, 1}),
        expected(
            {EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_SAMPLE_BUFFERS, 1}),
        expected({EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8}),
        expected({EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8}),
        expected({EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 1}),
        expected({EGL_DEPTH_SIZE, 24}),
        expected({EGL_DEPTH_SIZE, 1}),
        expected({}),
    };
    ASSERT_EQ(lists.size(), wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i)
        EXPECT_EQ(lists[i], wanted[i]) << "attempt " << i;
    EXPECT_EQ(LogCapture::warnings(),
              (std::vector<std::string>{"Cant find EGLConfig, returning null config"}));
}

TEST_F(ConfigChooserTest, RenderableTypeBitFollowsFormat)
{
    FakeEgl::setChooseConfigFails(true); // one attempt per reduction is enough here
    const struct {
        int renderableType;
        int major;
        EGLint bit;
    } cases[] = {
        {VelSurfaceFormat::OpenVG, 2, EGL_OPENVG_BIT},
        {VelSurfaceFormat::OpenGL, 1, EGL_OPENGL_BIT},
        {VelSurfaceFormat::OpenGLES, 1, EGL_OPENGL_ES_BIT},
        {VelSurfaceFormat::OpenGLES, 3, EGL_OPENGL_ES2_BIT},
        {VelSurfaceFormat::DefaultRenderableType, 2, EGL_OPENGL_ES2_BIT},
    };
    for (const auto &c : cases) {
        FakeEgl::reset();
        VelSurfaceFormat format;
        format.setRenderableType(VelSurfaceFormat::RenderableType(c.renderableType));
        format.setMajorVersion(c.major);
        VelEglConfigChooser chooser(FakeEgl::display());
        chooser.setSurfaceFormat(format);
        chooser.setSurfaceType(EGL_PBUFFER_BIT);
        chooser.chooseConfig();
        const auto lists = FakeEgl::chooseConfigLists();
        ASSERT_FALSE(lists.empty());
        EXPECT_EQ(valueIn(lists.front(), EGL_RENDERABLE_TYPE), c.bit) << c.renderableType;
        EXPECT_EQ(valueIn(lists.front(), EGL_SURFACE_TYPE), EGL_PBUFFER_BIT);
    }
}

TEST_F(ConfigChooserTest, UnsetFormatTakesFirstConfigOfFirstAttempt)
{
    FakeEgl::setConfigs({rgba(8, 8, 8, 8), rgba(5, 6, 5, 0)});
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), VelSurfaceFormat()), FakeEgl::config(0));
    EXPECT_EQ(FakeEgl::chooseConfigLists().size(), 1u);
    // All targets are 0: the filter asks the config nothing.
    EXPECT_TRUE(FakeEgl::configAttributeQueries().empty());
}

TEST_F(ConfigChooserTest, Rgb565IsPickedOverEarlierRgba8888)
{
    FakeEgl::setConfigs({rgba(8, 8, 8, 8), rgba(8, 8, 8, 0), rgba(5, 6, 5, 0)});
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), rgbFormat(5, 6, 5)), FakeEgl::config(2));
    EXPECT_EQ(FakeEgl::chooseConfigLists().size(), 1u);
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(ConfigChooserTest, NoExactColourMatchFallsBackToFirstConfigWithoutWarning)
{
    // 565 is requested but only 8888 and 888 exist, in every attempt.
    FakeEgl::setConfigs({rgba(8, 8, 8, 8), rgba(8, 8, 8, 0)});
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), rgbFormat(5, 6, 5)), FakeEgl::config(0));
    EXPECT_GT(FakeEgl::chooseConfigLists().size(), 1u) << "every relaxation must be tried first";
    EXPECT_TRUE(LogCapture::warnings().empty());
}

TEST_F(ConfigChooserTest, IgnoringColourSizesTakesEglsFirstChoice)
{
    FakeEgl::setConfigs({rgba(8, 8, 8, 8), rgba(5, 6, 5, 0)});
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), rgbFormat(5, 6, 5), true),
              FakeEgl::config(0));
    EXPECT_EQ(FakeEgl::chooseConfigLists().size(), 1u);
}

TEST_F(ConfigChooserTest, FilterDemandsExactSizesAndIgnoresFailedQueries)
{
    FakeEgl::setConfigs({rgba(10, 10, 10, 8), rgba(8, 8, 8, 8)});
    FakeEgl::setRejectedAttribute(EGL_GREEN_SIZE);
    VelSurfaceFormat format = rgbFormat(8, 8, 8);
    format.setAlphaBufferSize(8);
    // 10-bit colour is more than asked for, so it is not what was asked for;
    // the rejected green query reads 0 and fails the exact match as well.
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), format), FakeEgl::config(0));
    FakeEgl::setRejectedAttribute(0);
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), format), FakeEgl::config(1));
}

TEST_F(ConfigChooserTest, AlphaTargetStaysZeroOnceAlphaIsRemoved)
{
    // The 10-bit config matches the alpha request but fails the colour check;
    // the 888 config without alpha only matches once alpha is no longer asked
    // for, and must then pass the filter.
    FakeEgl::setConfigs({rgba(10, 10, 10, 8), rgba(8, 8, 8, 0)});
    VelSurfaceFormat format = rgbFormat(8, 8, 8);
    format.setAlphaBufferSize(8);
    RecordingChooser chooser(FakeEgl::display());
    chooser.setSurfaceFormat(format);
    EXPECT_EQ(chooser.chooseConfig(), FakeEgl::config(1));
    ASSERT_GE(chooser.alphaTargets.size(), 2u);
    EXPECT_EQ(chooser.alphaTargets.front(), 8);
    EXPECT_EQ(chooser.alphaTargets.back(), 0);
    for (EGLint target : chooser.redTargets)
        EXPECT_EQ(target, 8);
}

TEST_F(ConfigChooserTest, FailingChooseConfigCountsAsEmptyAttempt)
{
    FakeEgl::setConfigs({rgba(8, 8, 8, 8)});
    FakeEgl::setChooseConfigFails(true);
    EXPECT_EQ(vel_configFromGLFormat(FakeEgl::display(), VelSurfaceFormat()), nullptr);
    EXPECT_EQ(LogCapture::warnings().size(), 1u);
}

TEST(ReduceConfigAttributesTest, SwapBehaviourRemovalDoesNotEndTheCall)
{
    VelVector<EGLint> list =
        makeList({EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED, EGL_SAMPLES, 4, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&list));
    EXPECT_EQ(toStd(list), (Attributes{EGL_SAMPLES, 2, EGL_NONE}));

    VelVector<EGLint> only =
        makeList({EGL_RED_SIZE, 8, EGL_SWAP_BEHAVIOR, EGL_BUFFER_DESTROYED, EGL_NONE});
    EXPECT_FALSE(vel_reduceConfigAttributes(&only));
    EXPECT_EQ(toStd(only), (Attributes{EGL_RED_SIZE, 8, EGL_NONE}));
}

TEST(ReduceConfigAttributesTest, BufferSizeSixteenGoesInOneStepOthersStay)
{
    VelVector<EGLint> sixteen = makeList({EGL_BUFFER_SIZE, 16, EGL_DEPTH_SIZE, 24, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&sixteen));
    EXPECT_EQ(toStd(sixteen), (Attributes{EGL_DEPTH_SIZE, 24, EGL_NONE}));

    VelVector<EGLint> twentyFour = makeList({EGL_BUFFER_SIZE, 24, EGL_DEPTH_SIZE, 24, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&twentyFour));
    EXPECT_EQ(toStd(twentyFour), (Attributes{EGL_BUFFER_SIZE, 24, EGL_DEPTH_SIZE, 1, EGL_NONE}));
    EXPECT_TRUE(vel_reduceConfigAttributes(&twentyFour));
    EXPECT_FALSE(vel_reduceConfigAttributes(&twentyFour));
    EXPECT_EQ(toStd(twentyFour), (Attributes{EGL_BUFFER_SIZE, 24, EGL_NONE}));
}

TEST(ReduceConfigAttributesTest, SamplesHalveCappedAtSixteenAndOneIsRemoved)
{
    const struct {
        EGLint from;
        Attributes to;
    } cases[] = {
        {33, {EGL_SAMPLES, 16, EGL_NONE}},
        {64, {EGL_SAMPLES, 16, EGL_NONE}},
        {4, {EGL_SAMPLES, 2, EGL_NONE}},
        {3, {EGL_SAMPLES, 1, EGL_NONE}},
        {2, {EGL_SAMPLES, 1, EGL_NONE}},
        {1, {EGL_NONE}},
        {0, {EGL_NONE}},
    };
    for (const auto &c : cases) {
        VelVector<EGLint> list = makeList({EGL_SAMPLES, c.from, EGL_NONE});
        EXPECT_TRUE(vel_reduceConfigAttributes(&list)) << c.from;
        EXPECT_EQ(toStd(list), c.to) << c.from;
    }
}

TEST(ReduceConfigAttributesTest, VgAlphaBitAndTextureBindingRelaxations)
{
    VelVector<EGLint> list =
        makeList({EGL_SURFACE_TYPE, EGL_WINDOW_BIT | EGL_VG_ALPHA_FORMAT_PRE_BIT, EGL_ALPHA_SIZE, 8,
                  EGL_BIND_TO_TEXTURE_RGBA, EGL_TRUE, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&list));
    EXPECT_EQ(toStd(list), (Attributes{EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_ALPHA_SIZE, 8,
                                       EGL_BIND_TO_TEXTURE_RGBA, EGL_TRUE, EGL_NONE}));
    EXPECT_TRUE(vel_reduceConfigAttributes(&list));
    EXPECT_EQ(toStd(list),
              (Attributes{EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_BIND_TO_TEXTURE_RGB, 1, EGL_NONE}));
    EXPECT_TRUE(vel_reduceConfigAttributes(&list));
    EXPECT_EQ(toStd(list), (Attributes{EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_NONE}));
    EXPECT_FALSE(vel_reduceConfigAttributes(&list));
}

TEST(ReduceConfigAttributesTest, NameEndingTheListIsReadAsNoValueAndNeverWrittenPast)
{
    // Without a terminator the last name has no value: it reads as 0 and goes.
    VelVector<EGLint> samples = makeList({EGL_RED_SIZE, 8, EGL_SAMPLES});
    EXPECT_TRUE(vel_reduceConfigAttributes(&samples));
    EXPECT_EQ(toStd(samples), (Attributes{EGL_RED_SIZE, 8}));

    // With a terminator right after the name, the terminator is not its value
    // and must survive the reduction.
    VelVector<EGLint> terminated = makeList({EGL_RED_SIZE, 8, EGL_SAMPLES, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&terminated));
    EXPECT_EQ(toStd(terminated), (Attributes{EGL_RED_SIZE, 8, EGL_NONE}));

    VelVector<EGLint> depth = makeList({EGL_DEPTH_SIZE, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&depth));
    EXPECT_EQ(toStd(depth), (Attributes{EGL_NONE}));

    // The RGBA texture binding without a value gets its value inside the list.
    VelVector<EGLint> binding = makeList({EGL_ALPHA_SIZE, 8, EGL_BIND_TO_TEXTURE_RGBA, EGL_NONE});
    EXPECT_TRUE(vel_reduceConfigAttributes(&binding));
    EXPECT_EQ(toStd(binding), (Attributes{EGL_BIND_TO_TEXTURE_RGB, 1, EGL_NONE}));

    VelVector<EGLint> swapOnly = makeList({EGL_SWAP_BEHAVIOR});
    EXPECT_FALSE(vel_reduceConfigAttributes(&swapOnly));
    EXPECT_TRUE(swapOnly.isEmpty());

    VelVector<EGLint> empty;
    EXPECT_FALSE(vel_reduceConfigAttributes(&empty));
    VelVector<EGLint> terminatorOnly = makeList({EGL_NONE});
    EXPECT_FALSE(vel_reduceConfigAttributes(&terminatorOnly));
    EXPECT_EQ(toStd(terminatorOnly), (Attributes{EGL_NONE}));
}

TEST(ReduceConfigAttributesTest, NamesAfterTheTerminatorAreNotAttributes)
{
    VelVector<EGLint> list = makeList({EGL_RED_SIZE, 8, EGL_NONE});
    list.append(EGL_SAMPLES); // stale data past the end EGL reads up to
    EXPECT_FALSE(vel_reduceConfigAttributes(&list));
}

TEST_F(ConfigChooserTest, FormatFromConfigReadsSizesAndClearsPendingError)
{
    FakeEgl::ConfigAttributes attributes = rgba(5, 6, 5, 0, 16, 8);
    attributes[EGL_SAMPLES] = 4;
    attributes[EGL_RENDERABLE_TYPE] = EGL_OPENGL_ES2_BIT | EGL_OPENGL_BIT;
    FakeEgl::setConfigs({attributes});
    FakeEgl::setRejectedAttribute(EGL_STENCIL_SIZE);

    VelSurfaceFormat reference;
    reference.setRenderableType(VelSurfaceFormat::OpenGL);
    reference.setMajorVersion(3);
    reference.setStereo(true);
    const VelSurfaceFormat format =
        vel_glFormatFromConfig(FakeEgl::display(), FakeEgl::config(0), reference);
    EXPECT_EQ(format.redBufferSize(), 5);
    EXPECT_EQ(format.greenBufferSize(), 6);
    EXPECT_EQ(format.blueBufferSize(), 5);
    EXPECT_EQ(format.alphaBufferSize(), 0);
    EXPECT_EQ(format.depthBufferSize(), 16);
    EXPECT_EQ(format.stencilBufferSize(), 0); // the rejected query reads 0
    EXPECT_EQ(format.samples(), 4);
    EXPECT_EQ(format.renderableType(), VelSurfaceFormat::OpenGL);
    EXPECT_FALSE(format.stereo());
    EXPECT_EQ(format.majorVersion(), VelSurfaceFormat().majorVersion());
    EXPECT_EQ(FakeEgl::peekError(), EGL_SUCCESS);

    // The default reference asks for neither desktop GL nor OpenVG.
    EXPECT_EQ(vel_glFormatFromConfig(FakeEgl::display(), FakeEgl::config(0)).renderableType(),
              VelSurfaceFormat::OpenGLES);
}

TEST_F(ConfigChooserTest, ExtensionTestMatchesWholeNamesOnly)
{
    FakeEgl::setExtensions("EGL_KHR_image_base EGL_KHR_surfaceless_context ");
    EXPECT_TRUE(vel_hasEglExtension(FakeEgl::display(), "EGL_KHR_image_base"));
    EXPECT_TRUE(vel_hasEglExtension(FakeEgl::display(), "EGL_KHR_surfaceless_context"));
    EXPECT_FALSE(vel_hasEglExtension(FakeEgl::display(), "EGL_KHR_image"));
    EXPECT_FALSE(vel_hasEglExtension(FakeEgl::display(), "egl_khr_image_base"));
    EXPECT_FALSE(vel_hasEglExtension(FakeEgl::display(), "EGL_KHR_image_base EGL"));
    // The trailing blank leaves an empty piece; an empty name is no extension.
    EXPECT_FALSE(vel_hasEglExtension(FakeEgl::display(), ""));
}

TEST_F(ConfigChooserTest, PrintedConfigListsEachAnsweredAttribute)
{
    FakeEgl::ConfigAttributes attributes = rgba(5, 6, 5, 0, 16, 0);
    attributes[EGL_CONFIG_ID] = 42;
    FakeEgl::setConfigs({attributes});
    FakeEgl::setRejectedAttribute(EGL_LEVEL);
    vel_printEglConfig(FakeEgl::display(), FakeEgl::config(0));

    const auto warnings = LogCapture::warnings();
    ASSERT_EQ(warnings.size(), 27u); // 27 rows, one rejected, then the closing line
    EXPECT_EQ(warnings.front(), "\tEGL_BUFFER_SIZE: 0\n");
    EXPECT_EQ(warnings[4], "\tEGL_RED_SIZE: 5\n");
    EXPECT_EQ(warnings[8], "\tEGL_CONFIG_ID: 42\n");
    EXPECT_EQ(warnings[9], "\tEGL_MAX_PBUFFER_HEIGHT: 0\n");
    EXPECT_EQ(warnings[25], "\tEGL_MAX_SWAP_INTERVAL: 0\n");
    EXPECT_EQ(warnings.back(), "\n");
}

} // namespace
