// Start-up and shutdown services whose subsystems are not built yet.
//
// Each keeps its place in the start-up and shutdown order; as a subsystem
// arrives, its entry moves out of here into the subsystem's own files.
#pragma once

#include <cstdint>

#include "core/rt_string.h"

namespace vtx::pending {

// Graphics back-end and window.
void CreateGraphicsBackEnd();
bool CreateGraphicsWindow(void* instance, int32_t width, int32_t height, int32_t depth, int32_t frameRate,
                          int32_t multisample, bool fullscreen);
void SetWindowCaption(const RtString& caption);
void SetWindowedMode();
void SetFullscreenMode();
void HideGraphicsWindow();
void DestroyGraphicsBackEnd();
void DestroyMainWindow();

// Network session record.
void CreateSessionRecord();
void ReleaseNetwork();

// 3D scene.
void CreateScene3D();

// Input devices.
void CreateInputDevices();
void InitInputDevices(bool exclusiveMouse);
void ShowSystemPointer(int32_t show);
void ReleaseInputDevices();

// Sound device and slots.
void CreateSoundDevice();
void OpenSoundDevice();
void ReleaseSound();

// Pack resolvers.
void SetPackFiles(const RtString& programPath);
bool ResolveLoaderFile(const RtString& name, RtString& resolved);
void ReleasePackResolvers();

// Frames, layers and fonts.
void ClearScreen(int32_t colour);
void PresentFirstFrame();
void SetViewport2D();
void GenerateBuiltinFont();
void LoadFont(const RtString& name, int32_t slot);
void SetFont(int32_t font);

// Music and file channels.
void StopMusicForShutdown();
void CloseAllChannels();

}  // namespace vtx::pending
