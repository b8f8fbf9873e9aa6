#include "shared/var_clk_select_form.h"

#include <string>

#include "shared/var_clock.h"

namespace shared {

TVarClkSelectForm::TVarClkSelectForm(int& varClockControl) : varClockControl_(varClockControl) {
  layOut();
  OnShow = [this] { FormShow(); };
  TrackBar1.OnChange = [this] { TrackBar1Change(); };
  VisibleOKBtn.OnClick = [this] { VisibleOKBtnClick(); };
  OKBtn.OnClick = [this] { OKBtnClick(); };
  CancelBtn.OnClick = [this] { CancelBtnClick(); };
}

void TVarClkSelectForm::layOut() {
  setName("VarClkSelectForm");
  setCaption("Variable Clock Select");
  setBorderStyle(ui::bsDialog);
  setBorderIcons(0);
  setPosition(ui::poScreenCenter);
  setClientSize(344, 190);

  Label1.setName("Label1");
  Label1.setCaption("I2C Bus Master Bit Rate:");
  Label1.setBounds(24, 22, 132, 13);
  VarClockRateEdit.setName("VarClockRateEdit");
  VarClockRateEdit.setReadOnly(true);
  VarClockRateEdit.setBounds(164, 18, 72, 21);
  Label2.setName("Label2");
  Label2.setCaption("Hz (+/- 1%)");
  Label2.setBounds(244, 22, 64, 13);

  Label5.setName("Label5");
  Label5.setCaption("min");
  Label5.setBounds(24, 64, 20, 13);
  TrackBar1.setName("TrackBar1");
  TrackBar1.setBounds(48, 54, 248, 45);
  TrackBar1.setRange(kMinVarClockControl, kMaxVarClockControl);
  TrackBar1.setFrequency(20);
  TrackBar1.setTickMarks(ui::TTrackBar::tmBottomRight);
  TrackBar1.setThumbLength(20);
  TrackBar1.setHint("Move slider to adjust rate");
  TrackBar1.setTabStop(true);
  Label6.setName("Label6");
  Label6.setCaption("max");
  Label6.setBounds(300, 64, 22, 13);

  Label3.setName("Label3");
  Label3.setCaption("Bit Rate Control Parameter:");
  Label3.setBounds(24, 112, 140, 13);
  ReloadCount.setName("ReloadCount");
  ReloadCount.setBounds(170, 112, 28, 13);
  ReloadCount.setHint("(256-(11095200 div (96*MasterBitRate)))");
  Label4.setName("Label4");
  Label4.setCaption("(0...254)");
  Label4.setBounds(204, 112, 48, 13);

  VisibleOKBtn.setName("VisibleOKBtn");
  VisibleOKBtn.setCaption("OK");
  VisibleOKBtn.setDefault(true);
  VisibleOKBtn.setHint("Accept Any Changes.");
  VisibleOKBtn.setBounds(84, 146, 80, 27);
  VisibleOKBtn.setTabStop(true);
  CancelBtn.setName("CancelBtn");
  CancelBtn.setKind(ui::TBitBtn::bkCancel);
  CancelBtn.setHint("Cancel Any Changes");
  CancelBtn.setBounds(180, 146, 80, 27);
  CancelBtn.setTabStop(true);
  OKBtn.setName("OKBtn");
  OKBtn.setCaption("OK");
  OKBtn.setBounds(0, 0, 0, 0);
  OKBtn.setVisible(false);
}

void TVarClkSelectForm::FormShow() {
  TrackBar1.setPosition(varClockControl_);
  ReloadCount.setCaption(std::to_string(varClockControl_));
  VarClockRateEdit.setText(std::to_string(varClockRateHz(TrackBar1.Position())));
  TrackBar1.setFocus();
}

void TVarClkSelectForm::TrackBar1Change() {
  const std::uint32_t rate = varClockRateHz(TrackBar1.Position());
  VarClockRateEdit.setText(std::to_string(rate));
  ReloadCount.setCaption(std::to_string(varClockControlFor(rate).value_or(TrackBar1.Position())));
}

void TVarClkSelectForm::VisibleOKBtnClick() {
  varClockControl_ = TrackBar1.Position();
  OKBtn.click();
}

void TVarClkSelectForm::OKBtnClick() {
  setModalResult(ui::mrOk);
}

void TVarClkSelectForm::CancelBtnClick() {
  setModalResult(ui::mrCancel);
}

}  // namespace shared
