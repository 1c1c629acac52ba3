// The model importer of vtxmesh.
#include "model_import.h"

#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <vector>

namespace vtxmesh {
namespace {

constexpr int32_t kMaxKeyframes = 4096;

// Prints "vtxmesh: importing NAME: N%" in steps of 10.
class ProgressLines : public Assimp::ProgressHandler {
public:
    explicit ProgressLines(std::string name) : name_(std::move(name)) {}
    bool Update(float percentage) override {
        const int step = static_cast<int>(percentage * 10.0f);
        if (step > last_ && step <= 10) {
            last_ = step;
            std::fprintf(stderr, "vtxmesh: importing %s: %d%%\n", name_.c_str(), step * 10);
        }
        return true;
    }

private:
    std::string name_;
    int last_ = -1;
};

// The keyframes a file's own header announces (MD2, MD3, MDL), else 1.
int32_t KeyframesInHeader(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    uint8_t head[80] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const auto at = [&](size_t offset) {
        int32_t v = 0;
        std::memcpy(&v, head + offset, 4);
        return v;
    };
    int32_t frames = 1;
    if (in.gcount() >= 44 && std::memcmp(head, "IDP2", 4) == 0) frames = at(40);
    else if (in.gcount() >= 80 && std::memcmp(head, "IDP3", 4) == 0) frames = at(76);
    else if (in.gcount() >= 72 && std::memcmp(head, "IDPO", 4) == 0) frames = at(68);
    return frames < 1 ? 1 : (frames > kMaxKeyframes ? kMaxKeyframes : frames);
}

uint8_t Byte(float c) {
    const float clamped = std::isfinite(c) ? (c < 0 ? 0 : (c > 1 ? 1 : c)) : 0;
    return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}

uint32_t ColourOf(const aiColor4D& c) {
    return static_cast<uint32_t>(Byte(c.r)) | static_cast<uint32_t>(Byte(c.g)) << 8 |
           static_cast<uint32_t>(Byte(c.b)) << 16;
}

float Finite(float f) { return std::isfinite(f) ? f : 0.0f; }

// One frame from a scene: every triangle of every mesh in the node tree,
// placed by its node's transform. Morph target `target` (-1 the base) gives
// positions and normals where the meshes have that many targets.
bool AppendFrame(const aiScene* scene, int32_t target, vtx::Frame& frame, ImportReport& report) {
    struct Visit {
        const aiNode* node;
        aiMatrix4x4 transform;
    };
    std::vector<Visit> stack{{scene->mRootNode, scene->mRootNode->mTransformation}};
    while (!stack.empty()) {
        const Visit visit = stack.back();
        stack.pop_back();
        for (unsigned c = 0; c < visit.node->mNumChildren; ++c) {
            const aiNode* child = visit.node->mChildren[c];
            stack.push_back({child, visit.transform * child->mTransformation});
        }
        aiMatrix3x3 normalTransform(visit.transform);
        normalTransform.Inverse().Transpose();
        for (unsigned m = 0; m < visit.node->mNumMeshes; ++m) {
            if (visit.node->mMeshes[m] >= scene->mNumMeshes) continue;
            const aiMesh* mesh = scene->mMeshes[visit.node->mMeshes[m]];
            const aiVector3D* positions = mesh->mVertices;
            const aiVector3D* normals = mesh->mNormals;
            if (target >= 0 && static_cast<unsigned>(target) < mesh->mNumAnimMeshes) {
                const aiAnimMesh* anim = mesh->mAnimMeshes[target];
                if (anim->mVertices != nullptr && anim->mNumVertices == mesh->mNumVertices) positions = anim->mVertices;
                if (anim->mNormals != nullptr && anim->mNumVertices == mesh->mNumVertices) normals = anim->mNormals;
            }
            aiColor4D diffuse(1, 1, 1, 1);
            if (mesh->mMaterialIndex < scene->mNumMaterials)
                scene->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
            const uint32_t materialColour = ColourOf(diffuse);
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                if (face.mNumIndices != 3) {
                    ++report.skippedFaces;
                    continue;
                }
                if (!frame.vertices.reserve(static_cast<int64_t>(frame.vertices.count()) + 3)) return false;
                for (unsigned k = 0; k < 3; ++k) {
                    const unsigned i = face.mIndices[k];
                    if (i >= mesh->mNumVertices) return false;
                    vtx::Vertex v{};
                    const aiVector3D p = visit.transform * positions[i];
                    v.position[0] = Finite(p.x);
                    v.position[1] = Finite(p.y);
                    v.position[2] = Finite(p.z);
                    if (normals != nullptr) {
                        aiVector3D n = normalTransform * normals[i];
                        n.NormalizeSafe();
                        v.normal[0] = Finite(n.x);
                        v.normal[1] = Finite(n.y);
                        v.normal[2] = Finite(n.z);
                    }
                    // The model's v counts from the bottom of the picture,
                    // as the mesh stores it.
                    if (mesh->HasTextureCoords(0)) {
                        v.uv[0] = Finite(mesh->mTextureCoords[0][i].x);
                        v.uv[1] = Finite(mesh->mTextureCoords[0][i].y);
                    }
                    vtx::SetVertexColour(v, mesh->HasVertexColors(0) ? ColourOf(mesh->mColors[0][i]) : materialColour);
                    frame.vertices.push(v);
                }
            }
        }
    }
    return true;
}

// Fewer bits per channel until the colours fit the 8-bit colour index.
void ReduceColours(vtx::MeshObjectX& mesh, ImportReport& report) {
    for (int32_t bits = 8; bits >= 1; --bits) {
        const uint32_t keep = (0xFFu << (8 - bits)) & 0xFFu;
        const uint32_t mask = keep | keep << 8 | keep << 16;
        std::set<uint32_t> distinct;
        for (const vtx::Frame& f : mesh.frames) {
            for (const vtx::Vertex& v : f.vertices) distinct.insert(v.colour & mask);
        }
        if (distinct.size() <= 256 || bits == 1) {
            report.colourBits = bits;
            if (bits < 8) {
                for (vtx::Frame& f : mesh.frames) {
                    for (vtx::Vertex& v : f.vertices) vtx::SetVertexColour(v, v.colour & mask);
                }
            }
            return;
        }
    }
}

}  // namespace

bool ImportModel(const std::string& name, vtx::MeshObjectX& mesh, ImportReport& report, std::string& error,
                 bool progress) {
    vtx::ClearMesh(mesh, true);
    report = ImportReport();
    const unsigned flags = aiProcess_Triangulate | aiProcess_GenNormals | aiProcess_SortByPType |
                           aiProcess_ValidateDataStructure;
    const int32_t keyframes = KeyframesInHeader(name);
    for (int32_t k = 0; k < keyframes; ++k) {
        Assimp::Importer importer;
        importer.SetPropertyInteger(AI_CONFIG_IMPORT_GLOBAL_KEYFRAME, k);
        if (progress && k == 0) importer.SetProgressHandler(new ProgressLines(name));
        const aiScene* scene = importer.ReadFile(name, flags);
        if (scene == nullptr || scene->mRootNode == nullptr) {
            if (k > 0) break;  // keep the keyframes read so far
            error = importer.GetErrorString();
            if (error.empty()) error = "not a model file the importer knows";
            return false;
        }
        // Morph targets become frames after the base shape.
        unsigned targets = 0;
        if (keyframes == 1) {
            for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
                const unsigned n = scene->mMeshes[m]->mNumAnimMeshes;
                targets = m == 0 ? n : (n < targets ? n : targets);
            }
        }
        for (int32_t target = -1; target < static_cast<int32_t>(targets) && target < kMaxKeyframes; ++target) {
            vtx::Frame* frame = mesh.frames.grow();
            if (frame == nullptr || !AppendFrame(scene, target, *frame, report)) {
                error = "out of memory or a damaged mesh";
                vtx::ClearMesh(mesh, true);
                return false;
            }
        }
        if (progress && keyframes > 1 && (k + 1) % 50 == 0)
            std::fprintf(stderr, "vtxmesh: importing %s: keyframe %d of %d\n", name.c_str(), k + 1, keyframes);
    }
    if (mesh.frames.count() == 0 || mesh.frames[0].vertices.count() < 3) {
        error = "the model holds no triangles";
        vtx::ClearMesh(mesh, true);
        return false;
    }
    ReduceColours(mesh, report);
    vtx::RebuildColourTable(mesh);
    mesh.normalsValid = 1;
    return true;
}

}  // namespace vtxmesh
