// What the framework reads from a dialog template itself: where the template
// places its dialog. The dialog manager reads everything else.
#pragma once

#include <windows.h>

// True when template `templateId` of `module` puts its dialog at (0, 0)
// without DS_CENTER: a template that names no place of its own, so the
// framework centres the dialog when it runs modally (CDialog). False for a
// template that cannot be found or read.
bool TemplateLeavesPlacementToFramework(HINSTANCE module, UINT templateId);
