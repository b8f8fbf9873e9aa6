#pragma once
// The peers of the plain controls, one factory per control kind. Each peer makes its widget
// inside the parent's widget, shows the control's state, and feeds user input back through the
// control's user...() methods, so the control raises its events.

#include <memory>

#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/menu.h"

namespace ui::qt {

class QtBackend;

std::unique_ptr<Peer> makeButtonPeer(QtBackend& backend, TButton& button);
std::unique_ptr<Peer> makeBitBtnPeer(QtBackend& backend, TBitBtn& button);
std::unique_ptr<Peer> makeCheckBoxPeer(QtBackend& backend, TCheckBox& box);
std::unique_ptr<Peer> makeRadioButtonPeer(QtBackend& backend, TRadioButton& radio);

std::unique_ptr<Peer> makeLabelPeer(QtBackend& backend, TLabel& label);
std::unique_ptr<Peer> makeEditPeer(QtBackend& backend, TEdit& edit);
std::unique_ptr<Peer> makeMemoPeer(QtBackend& backend, TMemo& memo);

std::unique_ptr<Peer> makeGroupBoxPeer(QtBackend& backend, TGroupBox& box);
std::unique_ptr<Peer> makePanelPeer(QtBackend& backend, TPanel& panel);
std::unique_ptr<Peer> makeRadioGroupPeer(QtBackend& backend, TRadioGroup& group);
std::unique_ptr<Peer> makeTabSetPeer(QtBackend& backend, TTabSet& tabs);

std::unique_ptr<Peer> makeListBoxPeer(QtBackend& backend, TListBox& list);
std::unique_ptr<Peer> makeTrackBarPeer(QtBackend& backend, TTrackBar& bar);
std::unique_ptr<Peer> makeShapePeer(QtBackend& backend, TShape& shape);
std::unique_ptr<Peer> makeImagePeer(QtBackend& backend, TImage& image);

std::unique_ptr<GridPeer> makeGridPeer(QtBackend& backend, TStringGrid& grid);

std::unique_ptr<Peer> makeMainMenuPeer(QtBackend& backend, TMainMenu& menu);
std::unique_ptr<Peer> makeMenuItemPeer(QtBackend& backend, TMenuItem& item);

}  // namespace ui::qt
