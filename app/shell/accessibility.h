// What a screen reader hears of the controls that Qt names poorly on this
// platform. A combo box is named by its accessible name (else by the label
// whose buddy it is), its current item being its value: Qt names it by its
// current item ("What?", "Save for next run", "7"). A LinkLabel is a link
// that Tab reaches and Enter or a screen reader's press action follows.
#pragma once

namespace orvane {

// Installs the accessible interfaces of combo boxes and links, once; the
// windows call it before they make their controls.
void InstallAccessibleInterfaces();

}  // namespace orvane
