// vtxmesh end to end: info, convert and import of model files the tests
// write, checked by loading what the tool wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>

#include "ddd_bytes.h"
#include "gfx3d/mesh.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace {

class VtxmeshTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
    // Runs vtxmesh with the arguments, standard error folded into the output.
    static ProgramRun Run(const std::string& arguments) {
        return RunCommand(std::string(VTXMESH).append(" ").append(arguments).append(" 2>&1"));
    }
    ProgramRun Import(const std::string& model, const std::string& out) {
        return Run(std::string("import ").append(Quoted(path(model))).append(" ").append(Quoted(path(out))));
    }
    bool Load(const std::string& name) { return vtx::LoadDDD(mesh_, path(name).c_str()); }
    ScratchFolder folder_{"vtxmesh"};
    vtx::MeshObjectX mesh_;
};

std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = static_cast<uint32_t>(bytes[i]) << 16 |
                           (i + 1 < bytes.size() ? static_cast<uint32_t>(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += digits[n >> 18 & 63];
        out += digits[n >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

TEST_F(VtxmeshTest, ImportsAnObjWithMaterials) {
    WriteText(path("quad.mtl"), "newmtl red\nKd 1 0 0\nnewmtl blue\nKd 0 0 1\n");
    WriteText(path("quad.obj"),
              "mtllib quad.mtl\nv 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
              "usemtl red\nf 1/1/1 2/2/1 3/3/1 4/4/1\nusemtl blue\nf 1/1/1 3/3/1 4/4/1\n");
    const ProgramRun run = Import("quad.obj", "quad.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("3 triangles, 2 colours"), std::string::npos) << run.output;
    ASSERT_TRUE(Load("quad.ddd"));
    ASSERT_EQ(mesh_.frames.count(), 1);
    const vtx::Frame& f = mesh_.frames[0];
    ASSERT_EQ(f.vertices.count(), 9);
    int red = 0;
    int blue = 0;
    for (const vtx::Vertex& v : f.vertices) {
        red += v.colour == 0x0000FFu;
        blue += v.colour == 0xFF0000u;
        EXPECT_FLOAT_EQ(v.normal[2], 1.0f);
        // Texture coordinates follow the positions: u = x / 2, v = y / 2.
        EXPECT_FLOAT_EQ(v.uv[0], v.position[0] / 2);
        EXPECT_FLOAT_EQ(v.uv[1], v.position[1] / 2);
    }
    EXPECT_EQ(red, 6);
    EXPECT_EQ(blue, 3);
    mesh_.BuildTriangles();
    EXPECT_EQ(mesh_.frames[0].triangles.count(), 9);
}

TEST_F(VtxmeshTest, ImportsGltfWithAMorphTargetAsASecondFrame) {
    DddBytes buffer;  // positions, texture coordinates, target offsets, indices
    for (float c : {0.f, 0.f, 2.f, 1.f, 0.f, 2.f, 0.f, 1.f, 2.f}) buffer.f32(c);
    for (float c : {0.f, 0.f, 1.f, 0.f, 0.f, 1.f}) buffer.f32(c);
    for (float c : {0.f, 0.f, 1.f, 0.f, 0.f, 1.f, 0.f, 0.f, 1.f}) buffer.f32(c);
    buffer.u8(0).u8(0).u8(1).u8(0).u8(2).u8(0).u8(0).u8(0);
    const std::string gltf = std::string(R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],)")
        .append(R"("nodes":[{"mesh":0,"translation":[10,0,0]}],)")
        .append(R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"TEXCOORD_0":1},"indices":3,"material":0,)")
        .append(R"("targets":[{"POSITION":2}]}],"weights":[0]}],)")
        .append(R"("materials":[{"pbrMetallicRoughness":{"baseColorFactor":[0,1,0,1]}}],)")
        .append(R"("buffers":[{"byteLength":104,"uri":"data:application/octet-stream;base64,)")
        .append(Base64(buffer.bytes))
        .append(R"("}],"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},)")
        .append(R"({"buffer":0,"byteOffset":36,"byteLength":24},{"buffer":0,"byteOffset":60,"byteLength":36},)")
        .append(R"({"buffer":0,"byteOffset":96,"byteLength":6}],"accessors":[)")
        .append(R"({"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,2],"max":[1,1,2]},)")
        .append(R"({"bufferView":1,"componentType":5126,"count":3,"type":"VEC2"},)")
        .append(R"({"bufferView":2,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,1],"max":[0,0,1]},)")
        .append(R"({"bufferView":3,"componentType":5123,"count":3,"type":"SCALAR"}]})");
    WriteText(path("tri.gltf"), gltf);
    const ProgramRun run = Import("tri.gltf", "tri.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_TRUE(Load("tri.ddd"));
    ASSERT_EQ(mesh_.frames.count(), 2);
    for (int32_t f = 0; f < 2; ++f) {
        ASSERT_EQ(mesh_.frames[f].vertices.count(), 3);
        for (const vtx::Vertex& v : mesh_.frames[f].vertices) {
            EXPECT_GE(v.position[0], 10.0f);  // placed by its node
            EXPECT_FLOAT_EQ(v.position[2], f == 0 ? 2.0f : 3.0f);
            EXPECT_EQ(v.colour, 0x00FF00u);
        }
    }
    // The corner at (11, 0) has u = 1.
    for (const vtx::Vertex& v : mesh_.frames[0].vertices) {
        if (v.position[0] == 11.0f) {
            EXPECT_FLOAT_EQ(v.uv[0], 1.0f);
        }
    }
}

TEST_F(VtxmeshTest, ImportsMd2KeyframesAsFrames) {
    // One triangle, three keyframes moved 10 units apart.
    const int32_t frames = 3;
    const int32_t frameSize = 40 + 4 * 3;
    const int32_t st = 68;
    const int32_t tris = st + 4 * 3;
    const int32_t firstFrame = tris + 12;
    const int32_t end = firstFrame + frameSize * frames;
    DddBytes md2;
    md2.u8('I').u8('D').u8('P').u8('2');
    for (int32_t v : {8, 64, 64, frameSize, 0, 3, 3, 1, 0, frames, 68, st, tris, firstFrame, 68, end}) md2.i32(v);
    for (int16_t s : {0, 0, 64, 0, 0, 64}) md2.u8(static_cast<uint8_t>(s)).u8(static_cast<uint8_t>(s >> 8));
    for (int16_t s : {0, 1, 2, 0, 1, 2}) md2.u8(static_cast<uint8_t>(s)).u8(0);
    for (int32_t f = 0; f < frames; ++f) {
        md2.f32(1).f32(1).f32(1).f32(0).f32(0).f32(static_cast<float>(10 * f));
        for (int i = 0; i < 16; ++i) md2.u8(i == 0 ? static_cast<uint8_t>('a' + f) : 0);
        for (uint8_t b : {0, 0, 0, 0, 10, 0, 0, 0, 0, 10, 0, 0}) md2.u8(b);
    }
    md2.u32(0);
    WriteBytes(path("anim.md2"), md2.bytes);
    const ProgramRun run = Import("anim.md2", "anim.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_TRUE(Load("anim.ddd"));
    ASSERT_EQ(mesh_.frames.count(), 3);
    mesh_.BuildTriangles();
    vtx::ComputeBounds(mesh_);
    // Each keyframe lies 10 units beyond the one before, along one axis.
    float moved = 0;
    for (int k = 0; k < 3; ++k) moved += std::fabs(mesh_.frames[2].centre[k] - mesh_.frames[1].centre[k]);
    EXPECT_NEAR(moved, 10.0f, 1e-4f);
    EXPECT_FLOAT_EQ(mesh_.frames[1].radius, mesh_.frames[0].radius);
}

TEST_F(VtxmeshTest, ManyVertexColoursAreReducedToFitTheIndex) {
    std::string obj;
    for (int i = 0; i < 300; ++i) {
        obj += "v " + std::to_string(i) + " " + std::to_string(i % 7) + " 0 " + std::to_string(i / 300.0) + " " +
               std::to_string((i * 7 % 300) / 300.0) + " 0.5\n";
    }
    for (int i = 1; i + 2 <= 300; i += 3) obj += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) + "\n";
    WriteText(path("colours.obj"), obj);
    const ProgramRun run = Import("colours.obj", "colours.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("colours reduced to"), std::string::npos) << run.output;
    ASSERT_TRUE(Load("colours.ddd"));
    EXPECT_LE(mesh_.colourTable.count(), 256);
    EXPECT_GT(mesh_.colourTable.count(), 16);
}

TEST_F(VtxmeshTest, LargeModelsPrintProgressSmallOnesDoNot) {
    std::string obj;
    for (int i = 0; i < 40000; ++i) {
        obj += "v " + std::to_string(i * 0.001) + " " + std::to_string(i % 100) + " " + std::to_string(i % 7) + "\n";
    }
    for (int i = 1; i + 2 <= 40000; ++i) obj += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) + "\n";
    ASSERT_GT(obj.size(), 1u << 20);
    WriteText(path("big.obj"), obj);
    ProgramRun run = Import("big.obj", "big.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("big.obj: 100%"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("39998 triangles"), std::string::npos) << run.output;
    WriteText(path("small.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    run = Import("small.obj", "small.ddd");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("%"), std::string::npos) << run.output;
}

TEST_F(VtxmeshTest, ConvertsTextAndOlderFilesToVersion20) {
    WriteText(path("t.ddd"), "DDDA\n1.1\n0\n1 255 0 0 3 0 0 1 0 2 0\n1\n3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0 1\n");
    ProgramRun run = Run(std::string("convert ").append(Quoted(path("t.ddd"))).append(" ").append(Quoted(path("b.ddd"))));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<uint8_t> bytes = ReadBytes(path("b.ddd"));
    ASSERT_GE(bytes.size(), 12u);
    double version = 0;
    std::memcpy(&version, bytes.data() + 4, 8);
    EXPECT_EQ(version, 2.0);
    run = Run(std::string("info ").append(Quoted(path("b.ddd"))));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("form       binary 2.0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("frames     1\n"), std::string::npos);
    EXPECT_NE(run.output.find("vertices   4\n"), std::string::npos);
    EXPECT_NE(run.output.find("triangles  1\n"), std::string::npos);
    EXPECT_NE(run.output.find("colours    2\n"), std::string::npos);
    EXPECT_NE(run.output.find("centre (0.333333, 0.333333, 0), radius 0.745356"), std::string::npos) << run.output;

    DddBytes old;
    old.header(1.5, 1, 1, 0).u32(0x00FF00).i32(3).f32(0).f32(0).f32(0).f32(2).f32(2).f32(2);
    for (uint8_t b : {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0}) old.u8(b);
    WriteBytes(path("old.ddd"), old.bytes);
    run = Run(std::string("info ").append(Quoted(path("old.ddd"))));
    EXPECT_NE(run.output.find("form       binary 1.5\n"), std::string::npos) << run.output;
    run = Run(std::string("convert ").append(Quoted(path("old.ddd"))).append(" ").append(Quoted(path("new.ddd"))));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_TRUE(Load("new.ddd"));
    EXPECT_FLOAT_EQ(mesh_.frames[0].vertices[1].position[0], 2.0f);
}

TEST_F(VtxmeshTest, ClearErrorsForUnreadableFiles) {
    ProgramRun run = Run(std::string("info ").append(Quoted(path("absent.ddd"))));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("cannot open the file"), std::string::npos) << run.output;
    DddBytes wrong;
    wrong.header(3.0, 1, 0, 0);
    WriteBytes(path("wrong.ddd"), wrong.bytes);
    run = Run(std::string("info ").append(Quoted(path("wrong.ddd"))));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("wrong .ddd version (binary 3.0"), std::string::npos) << run.output;
    DddBytes cut;
    cut.header(2.0, 1, 0, 0);
    WriteBytes(path("cut.ddd"), std::vector<uint8_t>(cut.bytes.begin(), cut.bytes.begin() + 14));
    run = Run(std::string("convert ").append(Quoted(path("cut.ddd"))).append(" ").append(Quoted(path("o.ddd"))));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("damaged .ddd file"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(path("o.ddd")));
    WriteText(path("junk.obj"), "this is no model at all\n");
    run = Import("junk.obj", "j.ddd");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("cannot import"), std::string::npos) << run.output;
    run = Import("nothing.obj", "j.ddd");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no such file"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(path("j.ddd")));
    EXPECT_EQ(Run("import a.obj b.txt").exitCode, 2);
    EXPECT_EQ(Run("frobnicate").exitCode, 2);
    EXPECT_EQ(Run("--help").exitCode, 0);
}

}  // namespace
