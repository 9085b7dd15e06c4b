// InitLibrary and StartLibrary: the checks the program passes before it shows anything.
#include "companion/varnolib.h"

namespace {

// Set by a successful InitLibrary; the last InitLibrary call decides.
bool Initialised = false;

// The program's marquee bar, bar colours and theme switches need common controls 6: the
// program must have loaded comctl32 (InitCommonControls) and its manifest must redirect
// comctl32.dll to version 6. DllGetVersion is no help: some comctl32 6 builds report 5.81.
bool CommonControlsReady() {
    if (GetModuleHandleA("comctl32.dll") == NULL)
        return false;
    ACTCTX_SECTION_KEYED_DATA redirection = {};
    redirection.cbSize = sizeof(redirection);
    return FindActCtxSectionStringA(0, NULL, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll",
                                    &redirection) != FALSE;
}

} // namespace

int32_t InitLibrary(int32_t major, int32_t minor, int32_t revision, int32_t reserved) {
    Initialised = major == VarnoInterfaceMajor && minor == VarnoInterfaceMinor &&
                  revision == VarnoInterfaceRevision && reserved == VarnoInterfaceReserved &&
                  CommonControlsReady();
#ifdef VARNOLIB_REFUSE
    // Test build: stands for a library whose checks failed, so the program's refusal path can be run.
    Initialised = false;
#endif
    return Initialised ? 1 : 0;
}

int32_t StartLibrary(int32_t mode) { return Initialised && mode == VarnoStartNormal ? 1 : 0; }
