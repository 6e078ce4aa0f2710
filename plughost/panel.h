// A panel as the host operations see it: something that can describe itself
// in a host::PanelState, take a selection back, re-read its contents and
// redraw. The host keeps an active and a passive panel (host.h); HostControl
// maps a plugin's panel handle to one of them (-1: the active panel).
#pragma once

#include "host/host_interface.h"

namespace plughost {

class Panel {
public:
    virtual ~Panel() = default;
    // Fills `state`: items (with kItemSelected in the flags of selected ones),
    // the selected items, current and top item, current directory. The item
    // arrays belong to the panel and stay valid until its next FillState or
    // Update. Returns false when the panel cannot describe itself.
    virtual bool FillState(host::PanelState* state) = 0;
    // Takes the selection from the item flags of a state this panel filled.
    virtual bool ApplySelection(const host::PanelState& state) = 0;
    // Re-reads the contents; with keepSelection, items still present stay selected.
    virtual bool Update(bool keepSelection) = 0;
    // Redraws, first moving to `position` when one is given.
    virtual bool Redraw(const host::PanelPosition* position) = 0;
};

}  // namespace plughost
