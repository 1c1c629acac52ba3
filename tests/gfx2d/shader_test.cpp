// Shader programs on the real driver: pixels drawn through a program and its
// uniforms, fixed-function drawing after UseShader(255), (-1) and every
// frame, the failure messages in their order, the debug-mode gate, and a
// driver without shader objects.
#include <string>
#include <vector>

#include "files/memory_names.h"
#include "gfx2d/draw_test_support.h"
#include "gfx2d/shader_commands.h"
#include "gfx2d/shaders.h"
#include "host/gl_extensions.h"

namespace {

using namespace draw_test;

constexpr int32_t kBlue = Colour(0, 0, 255);

std::vector<std::string> Messages;
void Record(const char* text) { Messages.emplace_back(text); }

class ShaderTest : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        Write("plain.vert", "void main() { gl_Position = ftransform(); }\n");
        Write("level.frag", "uniform float level;\nvoid main() { gl_FragColor = vec4(level, 0.5, 0.0, 1.0); }\n");
        Write("green.frag", "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
        Write("bad.vert", "void main() { gl_Position = nonsense; }\n");
        Write("bad.frag", "void main() { gl_FragColor = ; }\n");
        Write("unresolved.frag", "vec4 colour();\nvoid main() { gl_FragColor = colour(); }\n");
        Write("weight.vert",
              "attribute float weight;\nvarying float w;\nvoid main() { w = weight; gl_Position = ftransform(); }\n");
        Write("weight.frag", "varying float w;\nvoid main() { gl_FragColor = vec4(w, 0.0, 0.0, 1.0); }\n");
        Messages.clear();
    }
    static void Write(const char* name, const std::string& text) { std::ofstream(name) << text; }
    static const vtx::ShaderSlot& Slot(int32_t n) { return vtx::Shaders().slots[static_cast<size_t>(n)]; }
};

TEST_F(ShaderTest, ProgramAndUniformColourThePixelsUntilSwitchedOff) {
    ASSERT_TRUE(LoadShader(3, RtString("plain.vert"), RtString("level.frag")));
    UseShader(3.9);
    EXPECT_EQ(vtx::CurrentShader(), 3);
    SetShaderFloat(RtString("level"), 1.0);
    DrawRect(0, 0, 10, 10, kBlue);
    SetShaderFloat(RtString("level"), 0.25);  // the rectangle collected before keeps its value
    DrawRect(20, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(5, 5), {255, 128, 0}));
    EXPECT_TRUE(Near(Pixel(25, 5), {64, 128, 0}));

    for (double off : {255.0, -1.0}) {
        UseShader(3);
        UseShader(off);
        EXPECT_EQ(vtx::CurrentShader(), -1);
        DrawRect(40, 0, 10, 10, kBlue);
        EXPECT_TRUE(Near(Pixel(45, 5), {0, 0, 255}, 0));
        Fill({0, 0, 0});
    }

    UseShader(3);
    ShowScreen();  // every frame starts with the fixed function
    EXPECT_EQ(vtx::CurrentShader(), -1);
    DrawRect(0, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(5, 5), {0, 0, 255}, 0));
}

TEST_F(ShaderTest, AttributeAndReloadOfTheCurrentSlotDraw) {
    ASSERT_TRUE(LoadShader(4, RtString("weight.vert"), RtString("weight.frag")));
    UseShader(4);
    SetShaderAttrib(RtString("weight"), 0.5);
    DrawRect(0, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(5, 5), {128, 0, 0}));

    ASSERT_TRUE(LoadShader(4, RtString("plain.vert"), RtString("green.frag")));  // the new program draws
    DrawRect(20, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(25, 5), {0, 255, 0}, 0));
}

TEST_F(ShaderTest, FailuresReportTheLogThenTheirText) {
    EXPECT_FALSE(vtx::LoadShaderProgram(5, "bad.vert", "bad.frag", Record));
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_NE(Messages[0], "");
    EXPECT_EQ(Messages[1], "vertex shader failed");
    EXPECT_NE(Slot(5).vertexShader, 0u);
    EXPECT_EQ(Slot(5).fragmentShader, 0u);  // never compiled after the vertex failure
    EXPECT_EQ(Slot(5).program, 0u);

    Messages.clear();
    EXPECT_FALSE(vtx::LoadShaderProgram(5, "plain.vert", "bad.frag", Record));
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[1], "fragment shader failed");

    Messages.clear();
    EXPECT_FALSE(vtx::LoadShaderProgram(6, "plain.vert", "unresolved.frag", Record));
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_NE(Messages[0], "");
    EXPECT_EQ(Messages[1], "link shader failed");
    EXPECT_NE(Slot(6).program, 0u);

    Messages.clear();
    EXPECT_TRUE(vtx::LoadShaderProgram(7, "none.vert", "none.frag", Record));  // nothing to build
    EXPECT_EQ(Slot(7).program, 0u);
    EXPECT_FALSE(vtx::LoadShaderProgram(255, "plain.vert", "green.frag", Record));
    EXPECT_FALSE(vtx::LoadShaderProgram(-1, "plain.vert", "green.frag", Record));
    EXPECT_TRUE(Messages.empty());
    UseShader(7);
    DrawRect(0, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(5, 5), {0, 0, 255}, 0));

    const std::string text = "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";
    const RtString memory = vtx::RegisterMemoryBlock(reinterpret_cast<const uint8_t*>(text.data()),
                                                     static_cast<uint32_t>(text.size()));
    EXPECT_TRUE(LoadShader(7, RtString("plain.vert"), memory));
    vtx::UnregisterMemoryBlock(memory);
    DrawRect(20, 0, 10, 10, kBlue);
    EXPECT_TRUE(Near(Pixel(25, 5), {0, 255, 0}, 0));
}

TEST_F(ShaderTest, MessagesReachTheDebugOutputOnlyInDebugMode) {
    ASSERT_TRUE(LoadShader(3, RtString("plain.vert"), RtString("level.frag")));
    for (int32_t debug : {0, 1}) {
        ProjectSettings.debugMode = debug;
        ::testing::internal::CaptureStderr();
        UseShader(-1);
        SetShaderFloat(RtString("nosuch"), 1);  // no program current: nothing at all
        LoadShader(5, RtString("bad.vert"), RtString("level.frag"));
        UseShader(3);
        SetShaderFloat(RtString("nosuch"), 1);
        SetShaderAttrib(RtString("nosuch"), 1);
        SetShaderInt(RtString("nosuch"), 1);  // silent by design
        const std::string out = ::testing::internal::GetCapturedStderr();
        if (debug == 0) {
            EXPECT_EQ(out, "");
        } else {
            EXPECT_NE(out.find("\nvertex shader failed\nundefined uniform:\nnosuch\nundefined attrib:\nnosuch\n"),
                      std::string::npos)
                << out;
        }
    }
    ProjectSettings.debugMode = 0;
}

TEST_F(ShaderTest, WithoutShaderObjectsTheSupportMessageComesOnce) {
    const vtx::GlExtensionFunctions saved = vtx::GlExt;
    vtx::ForgetShaderEntryPoints();
    EXPECT_FALSE(vtx::LoadShaderProgram(1, "plain.vert", "green.frag", Record));
    EXPECT_FALSE(vtx::LoadShaderProgram(1, "plain.vert", "green.frag", Record));
    UseShader(1);
    EXPECT_EQ(vtx::CurrentShader(), -1);
    vtx::GlExt = saved;
    EXPECT_EQ(Messages, std::vector<std::string>{"No OpenGL 2.0 Shader Support"});
}

}  // namespace
