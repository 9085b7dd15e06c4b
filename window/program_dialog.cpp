#include "window/program_dialog.h"

#include <vector>

#include "base/mirrored_layout.h"
#include "base/program_state.h"

namespace {

// Template id as the process's layout wants it: mirrored where it reads from right to left.
std::vector<BYTE> TemplateInLayout(UINT id) {
    return ProcessReadsRightToLeft() ? MirroredTemplate(AppInstance, id) : TemplateCopy(AppInstance, id);
}

LPCDLGTEMPLATEA Template(const std::vector<BYTE>& bytes) {
    return reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data());
}

} // namespace

HWND CreateProgramDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const std::vector<BYTE> bytes = TemplateInLayout(id);
    return bytes.empty()
               ? NULL
               : CreateDialogIndirectParamA(AppInstance, Template(bytes), owner, procedure, parameter);
}

INT_PTR ShowProgramDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const std::vector<BYTE> bytes = TemplateInLayout(id);
    return bytes.empty() ? -1
                         : DialogBoxIndirectParamA(AppInstance, Template(bytes), owner, procedure, parameter);
}
