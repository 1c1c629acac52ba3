// Placeholders for services whose subsystems are not built yet. They do
// nothing, and report success where start-up needs an answer, so that
// start-up and shutdown already run in their full order.
#include "host/pending_services.h"

namespace vtx::pending {

void CreateGraphicsBackEnd() {}
bool CreateGraphicsWindow(void*, int32_t, int32_t, int32_t, int32_t, int32_t, bool) { return true; }
void SetWindowCaption(const RtString&) {}
void SetWindowedMode() {}
void SetFullscreenMode() {}
void HideGraphicsWindow() {}
void DestroyGraphicsBackEnd() {}
void DestroyMainWindow() {}

void CreateSessionRecord() {}
void ReleaseNetwork() {}

void CreateScene3D() {}

void CreateInputDevices() {}
void InitInputDevices(bool) {}
void ShowSystemPointer(int32_t) {}
void ReleaseInputDevices() {}

void CreateSoundDevice() {}
void OpenSoundDevice() {}
void ReleaseSound() {}

void SetPackFiles(const RtString&) {}
bool ResolveLoaderFile(const RtString&, RtString&) { return false; }
void ReleasePackResolvers() {}

void ClearScreen(int32_t) {}
void PresentFirstFrame() {}
void SetViewport2D() {}
void GenerateBuiltinFont() {}
void LoadFont(const RtString&, int32_t) {}
void SetFont(int32_t) {}

void StopMusicForShutdown() {}
void CloseAllChannels() {}

}  // namespace vtx::pending
