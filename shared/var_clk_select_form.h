#pragma once
// The variable clock dialog: a slider over the 255 reload values of the variable clock model,
// the rate it gives in hertz, and the control value computed back from that rate. OK stores the
// slider's value in the program's VarClockControl; Cancel leaves it as it was.

#include "ui/controls.h"
#include "ui/form.h"

namespace shared {

class TVarClkSelectForm : public ui::TForm {
 public:
  // `varClockControl` is the program's setting; it must outlive the form.
  explicit TVarClkSelectForm(int& varClockControl);

  ui::TLabel Label1{this};
  ui::TEdit VarClockRateEdit{this};
  ui::TLabel Label2{this};
  ui::TLabel Label5{this};
  ui::TTrackBar TrackBar1{this};
  ui::TLabel Label6{this};
  ui::TLabel Label3{this};
  ui::TLabel ReloadCount{this};
  ui::TLabel Label4{this};
  ui::TButton VisibleOKBtn{this};
  ui::TBitBtn CancelBtn{this};
  // Never shown: the one way the dialog ends with OK.
  ui::TButton OKBtn{this};

  void FormShow();
  void TrackBar1Change();
  void VisibleOKBtnClick();
  void OKBtnClick();
  void CancelBtnClick();

 private:
  void layOut();
  int& varClockControl_;
};

}  // namespace shared
