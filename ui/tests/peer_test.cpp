// The contract with a backend: a new peer gets the whole state, later only what changed, a grid
// peer single cells and row moves, a list or memo peer single items.

#include <memory>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

using Log = std::vector<std::string>;

const char* propertyName(Property p) {
  switch (p) {
    case Property::Caption:
      return "Caption";
    case Property::Text:
      return "Text";
    case Property::Visible:
      return "Visible";
    case Property::Checked:
      return "Checked";
    case Property::GridSize:
      return "GridSize";
    case Property::CurrentCell:
      return "CurrentCell";
    default:
      return nullptr;  // not followed by these tests
  }
}

class RecordingPeer : public GridPeer {
 public:
  RecordingPeer(std::string name, Log& log) : name_(std::move(name)), log_(log) {
    log_.push_back(name_ + " created");
  }
  ~RecordingPeer() override { log_.push_back(name_ + " destroyed"); }
  void changed(Property p) override {
    if (const char* property = propertyName(p)) {
      log_.push_back(name_ + " " + property);
    }
  }
  void itemsChanged(const StringsChange& c) override {
    static const char* kKinds[] = {"reset", "inserted", "removed", "changed"};
    log_.push_back(name_ + " items " + kKinds[c.kind] + " " + std::to_string(c.index));
  }
  void cellChanged(int col, int row) override {
    log_.push_back(name_ + " cell " + std::to_string(col) + "," + std::to_string(row));
  }
  void rowMoved(int from, int to) override {
    log_.push_back(name_ + " row " + std::to_string(from) + "->" + std::to_string(to));
  }

 private:
  std::string name_;
  Log& log_;
};

class RecordingFormPeer : public FormPeer {
 public:
  explicit RecordingFormPeer(Log& log) : log_(log) {}
  ~RecordingFormPeer() override { log_.push_back("form destroyed"); }
  void changed(Property p) override {
    if (p == Property::Visible || p == Property::Caption) {
      log_.push_back(std::string("form ") + propertyName(p));
    }
  }
  void shown() override { log_.push_back("form shown"); }
  void hidden() override { log_.push_back("form hidden"); }

 private:
  Log& log_;
};

class RecordingBackend : public HeadlessBackend {
 public:
  explicit RecordingBackend(Log& log) : log_(log) {}
  std::unique_ptr<FormPeer> createForm(TForm&) override {
    return std::make_unique<RecordingFormPeer>(log_);
  }
  std::unique_ptr<Peer> createCheckBox(TCheckBox& c) override { return make(c); }
  std::unique_ptr<Peer> createMemo(TMemo& c) override { return make(c); }
  std::unique_ptr<Peer> createGroupBox(TGroupBox& c) override { return make(c); }
  std::unique_ptr<GridPeer> createStringGrid(TStringGrid& c) override { return make(c); }

 private:
  std::unique_ptr<RecordingPeer> make(TComponent& c) {
    return std::make_unique<RecordingPeer>(c.Name(), log_);
  }
  Log& log_;
};

class PeerForm : public TForm {
 public:
  PeerForm() {
    Box.setName("box");
    Check.setName("check");
    Memo.setName("memo");
    Grid.setName("grid");
    Check.setChecked(true);  // before any peer: only pushed on attach
  }
  TGroupBox Box{this};
  TCheckBox Check{&Box};
  TMemo Memo{this};
  TStringGrid Grid{this};
};

class PeerTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    useBackend(std::make_unique<RecordingBackend>(log));
  }
  static Log only(const Log& log, const std::string& prefix) {
    Log out;
    for (const std::string& line : log) {
      if (line.rfind(prefix, 0) == 0) {
        out.push_back(line);
      }
    }
    return out;
  }
  Log log;
};

TEST_F(PeerTest, ParentsGetPeersFirstAndEveryPeerStartsWithTheWholeState) {
  PeerForm form;
  EXPECT_TRUE(log.empty()) << "no peers before the form is shown";
  form.show();

  std::vector<std::string> order;
  for (const std::string& line : log) {
    if (line.find(" created") != std::string::npos) {
      order.push_back(line);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"box created", "check created", "memo created",
                                             "grid created"}));
  Log check = only(log, "check");
  EXPECT_EQ(check,
            (Log{"check created", "check Caption", "check Text", "check Visible", "check Checked",
                 "check GridSize", "check CurrentCell", "check items reset -1"}));
  EXPECT_EQ(only(log, "form"), (Log{"form Caption", "form shown"}))
      << "a form's visibility comes through shown() only";
  form.hide();
}

TEST_F(PeerTest, LaterOnlyRealChangesAndSingleItemsAreSent) {
  PeerForm form;
  form.show();
  log.clear();

  form.Check.setChecked(true);  // no change
  form.Check.setChecked(false);
  form.Memo.Lines().add("Welcome to the Vantor Message Manager");
  form.Memo.Lines().add("ComPort Discovery in Progress. Please Wait...");
  form.Grid.setCell(2, 3, "W");
  form.Grid.setCell(2, 3, "W");
  form.Grid.MoveRow(3, 1);
  form.hide();

  EXPECT_EQ(log, (Log{"check Checked", "memo items inserted 0", "memo items inserted 1",
                      "grid cell 2,3", "grid row 3->1", "grid CurrentCell", "form hidden"}));
}

TEST_F(PeerTest, ALongGridSendsOneNotePerCellNotARefresh) {
  PeerForm form;
  form.Grid.setColCount(6);
  form.Grid.setRowCount(65536);
  form.show();
  log.clear();
  for (int row = 0; row < 65536; ++row) {
    form.Grid.setCell(1, row, "A0");
  }
  EXPECT_EQ(log.size(), 65536u);
  EXPECT_EQ(log.back(), "grid cell 1,65535");
  form.hide();
}

TEST_F(PeerTest, ChangingBackendDropsPeersAndTheNextShowMakesNewOnes) {
  Log fresh;  // outlives the form, whose new peers write to it
  PeerForm form;
  form.show();
  form.hide();
  log.clear();

  useBackend(std::make_unique<RecordingBackend>(fresh));
  EXPECT_EQ(log, (Log{"grid destroyed", "memo destroyed", "check destroyed", "box destroyed",
                      "form destroyed"}))
      << "children before their parents";
  form.show();
  EXPECT_EQ(only(fresh, "check Checked"), Log{"check Checked"});
  form.hide();
}

TEST_F(PeerTest, AControlCreatedAfterTheFirstShowGetsItsPeerAtTheNextShow) {
  PeerForm form;
  form.show();
  form.hide();
  log.clear();

  TCheckBox late{&form};
  late.setName("late");
  form.show();
  EXPECT_EQ(only(log, "late created"), Log{"late created"});
  EXPECT_TRUE(only(log, "check created").empty()) << "existing peers are kept";
  form.hide();
}

}  // namespace
}  // namespace ui::test
