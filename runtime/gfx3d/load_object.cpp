// LoadObject: a .ddd file or a multi-part description into an object slot.
#include <string>
#include <vector>

#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/sprite_store.h"
#include "host/error_log.h"
#include "host/graphics_backend.h"
#include "mesh_commands.h"
#include "multi_part.h"
#include "object_slots.h"

namespace vtx {
namespace {

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const char* name, std::vector<uint8_t>& bytes) {
    RtFile file;
    if (!file.openRead(name)) return false;
    bytes.resize(static_cast<size_t>(file.size() > 0 ? file.size() : 0));
    return bytes.empty() || file.read(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// A picture of the description as a texture; 0 when it cannot be read (or
// there is no GL context to hold it).
GLuint LoadPartTexture(const std::string& name) {
    RtString resolved;
    if (!ResolveFile(LoaderResolver(), RtString(name.c_str()), resolved, true)) return 0;
    SpriteStore* store = Sprites();
    if (store == nullptr || GraphicsBackEnd == nullptr || GraphicsBackEnd->contextReady == 0) return 0;
    ImageBuffer image;
    if (!DecodePicture(image, resolved.c_str(), store->transparentColour)) return 0;
    GLuint texture = 0;
    if (!UploadTexture(image, 0, 0, 0, 0, texture, nullptr, false, false)) return 0;
    return texture;
}

void LoadMultiPart(ObjectSlot& slot, const std::string& descriptionName, const std::vector<uint8_t>& bytes) {
    MultiPartDescription description;
    if (!ParseMultiPartDescription(reinterpret_cast<const char*>(bytes.data()), bytes.size(), description)) {
        AppendErrorLog("# read error");
        AppendErrorLog(descriptionName.c_str());
        return;
    }
    const std::string folder = DescriptionFolder(descriptionName);
    slot.valid = 1;
    slot.multiPart = 1;
    for (const std::string& texture : description.textures) {
        slot.textureNames.push_back(LoadPartTexture(std::string(folder).append(texture)));
    }
    slot.textureCount = static_cast<int32_t>(slot.textureNames.size());
    slot.parts.clear();
    slot.parts.resize(description.parts.size());
    slot.partCount = static_cast<int32_t>(description.parts.size());
    for (size_t m = 0; m < description.parts.size(); ++m) {
        MeshObjectX& part = slot.parts[m];
        RtString resolved;
        // A part that cannot be read stays empty.
        if (ResolveFile(LoaderResolver(), RtString(std::string(folder).append(description.parts[m].file).c_str()),
                        resolved, true))
            LoadDDD(part, resolved.c_str());
        part.texturePair[0] = description.parts[m].texture[0];
        part.texturePair[1] = description.parts[m].texture[1];
        part.BuildTriangles();
        ComputeBounds(part);
    }
}

}  // namespace
}  // namespace vtx

void LoadObject(const RtString& file, int32_t slotNumber) {
    vtx::ObjectSlot* slot = vtx::ObjectSlotAt(slotNumber);
    if (slot == nullptr) return;
    RtString resolved;
    if (!vtx::ResolveFile(vtx::LoaderResolver(), file, resolved, true)) return;
    std::vector<uint8_t> head;
    {
        RtFile probe;
        if (!probe.openRead(resolved.c_str())) return;
        head.resize(4);
        if (probe.size() < 4 || !probe.read(head.data(), 4)) head.clear();
    }
    vtx::ResetObjectSlot(*slot);
    if (vtx::IsMultiPartDescription(head.data(), head.size())) {
        // Read it whole now: resolving its parts releases this name's block.
        std::vector<uint8_t> bytes;
        if (vtx::ReadWholeFile(resolved.c_str(), bytes)) vtx::LoadMultiPart(*slot, file.c_str(), bytes);
        return;
    }
    vtx::MeshObjectX& mesh = slot->parts[0];
    if (vtx::LoadDDD(mesh, resolved.c_str()) && mesh.frames.count() > 0 && mesh.frames[0].vertices.count() > 0) {
        slot->valid = 1;
        mesh.BuildTriangles();
        vtx::ComputeBounds(mesh);
    }
}
