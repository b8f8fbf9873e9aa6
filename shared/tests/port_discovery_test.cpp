#include "shared/port_discovery.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "shared/tests/case_name.h"
#include "shared/tests/port_fixture.h"
#include "ui/form.h"

namespace shared {
namespace {

using Strings = std::vector<std::string>;

// The three controls as the programs hold them, with what discovery reported.
class DiscoveryTest : public ::testing::Test {
 protected:
  PortChoiceControls controls() { return {PortList, SNListBox, SNBox}; }

  int discover(AdapterModel model, Program program = Program::MsgCenter) {
    DiscoveryReport report;
    report.portsFound = [this] { status = "<<Link Closed>>"; };
    report.noPortFound = [this](const std::string& text) { status = text; };
    report.repaint = [this] { ++repaints; };
    return DiscoverPorts(model, program, controls(), report);
  }

  testing::PortFolder ports;
  ui::TForm form;
  ui::TListBox PortList{&form};
  ui::TListBox SNListBox{&form};
  ui::TEdit SNBox{&form};
  std::string status;
  int repaints = 0;
};

TEST_F(DiscoveryTest, UsbPortsFiveAndTwelveWithTheirInstanceNames) {
  ports.addPty(12);
  ports.describeUsb(12, 0x0204, "LX0012");
  ports.addPty(5);
  ports.describeUsb(5, 0x0204, "LX0005");
  ports.addPty(7);
  ports.describeUsb(7, 0x0207, "DR0007");  // a Dorrit, not wanted here
  ports.addPty(3);                         // a plain serial port

  EXPECT_EQ(discover(AdapterModel::VantorLX), 2);
  EXPECT_EQ(PortList.Items().strings(), (Strings{" 5", "12", " "}));
  EXPECT_EQ(SNListBox.Items().strings(), (Strings{" 5=LX0005", "12=LX0012", " "}));
  EXPECT_EQ(PortList.ItemIndex(), 0);
  EXPECT_FALSE(PortList.Sorted()) << "later additions must not be sorted in";
  EXPECT_EQ(PortList.Hint(), "Select PC Communications Port");
  EXPECT_EQ(status, "<<Link Closed>>");
  EXPECT_EQ(SNBox.Text(), "SN# LX0005");
  EXPECT_TRUE(SNBox.Visible());

  PortList.setItemIndex(1);
  UpdateSerialNumber(AdapterModel::VantorLX, controls());
  EXPECT_EQ(SNBox.Text(), "SN# LX0012");
  EXPECT_EQ(portNumberOfEntry(PortList.selectedText()), 12);

  PortList.setItemIndex(2);  // the closing " "
  UpdateSerialNumber(AdapterModel::VantorLX, controls());
  EXPECT_EQ(SNBox.Text(), "Not Available");
  EXPECT_FALSE(SNBox.Visible());
}

TEST_F(DiscoveryTest, PortScanListsEveryOpenablePortInOrder) {
  ports.addPty(17);
  ports.addPty(3);
  ports.addDanglingLink(9);
  ports.describeUsb(3, 0x0204, "LX0003");  // a USB adapter is still a port to scan

  EXPECT_EQ(discover(AdapterModel::VantorQX), 2);
  EXPECT_EQ(PortList.Items().strings(), (Strings{"3", "17", " "}));
  EXPECT_EQ(SNListBox.Items().strings(), (Strings{" "}));
  EXPECT_EQ(SNBox.Text(), "Not Available");
  EXPECT_FALSE(SNBox.Visible());
  EXPECT_GE(repaints, 3) << "once at the start and after each port found";
}

// Probing is an exclusive open: a port that anything else holds is not usable.
TEST_F(DiscoveryTest, PortHeldElsewhereIsNotListed) {
  ports.addPty(4);
  ports.addPty(6);
  ports.describeUsb(4, 0x0201, "DU0004");
  ports.describeUsb(6, 0x0201, "DU0006");
  platform::SerialPort holder;
  ASSERT_TRUE(holder.open(4, platform::LineSettings{}).ok());

  EXPECT_FALSE(ProbePort(4));
  EXPECT_TRUE(ProbePort(6));
  EXPECT_EQ(discover(AdapterModel::VantorDU), 1);
  EXPECT_EQ(PortList.Items().strings(), (Strings{" 6", " "}));
  EXPECT_EQ(SNBox.Text(), "SN# DU0006");
  holder.close();
  EXPECT_TRUE(ProbePort(4)) << "probing must not leave a port held";
}

TEST_F(DiscoveryTest, PortHeldByAnotherProcessFailsTheProbe) {
  ports.addPty(8);
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::SerialPort port;
    const char held = port.open(8, platform::LineSettings{}).ok() ? 'y' : 'n';
    (void)!write(ready[1], &held, 1);
    char ignored;
    (void)!read(release[0], &ignored, 1);
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  EXPECT_FALSE(ProbePort(8));
  (void)!write(release[1], "x", 1);
  int childStatus = 0;
  waitpid(child, &childStatus, 0);
  EXPECT_TRUE(ProbePort(8)) << "free again once the other process has ended";
  for (int fd : {ready[0], ready[1], release[0], release[1]})
    close(fd);
}

struct NothingFoundCase {
  const char* name;
  AdapterModel model;
  Program program;
  std::string status;
  std::string hint;
};

class NothingFoundTest : public DiscoveryTest,
                         public ::testing::WithParamInterface<NothingFoundCase> {};

TEST_P(NothingFoundTest, ShowsNoneAndTheModelsText) {
  const NothingFoundCase& c = GetParam();
  // A plain port that a USB model must pass over, held so the scanned models pass it too,
  // and a link to an unplugged device.
  ports.addPty(2);
  ports.addDanglingLink(3);
  platform::SerialPort holder;
  if (!hasUsbDiscovery(c.model)) {
    ASSERT_TRUE(holder.open(2, platform::LineSettings{}).ok());
  }
  EXPECT_EQ(discover(c.model, c.program), 0);
  EXPECT_EQ(PortList.Items().strings(), (Strings{"None", " "}));
  EXPECT_EQ(SNListBox.Items().strings(), (Strings{"None", " "}));
  EXPECT_EQ(PortList.ItemIndex(), 0);
  EXPECT_EQ(portNumberOfEntry(PortList.selectedText()), 0);
  EXPECT_EQ(status, c.status);
  EXPECT_EQ(PortList.Hint(), c.hint);
  EXPECT_EQ(SNBox.Text(), "Not Available");
  EXPECT_FALSE(SNBox.Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Models, NothingFoundTest,
    ::testing::Values(
        NothingFoundCase{"VantorLX", AdapterModel::VantorLX, Program::MsgCenter,
                         "No Available Vantor/LX Detected, Insert Device and Refresh",
                         "No Available Vantor/LX Detected\rInsert Device and Refresh"},
        NothingFoundCase{"Dorrit", AdapterModel::Dorrit, Program::MsgCenter,
                         "No Available Dorrit Detected, Insert Device and Refresh",
                         "No Available Dorrit Detected\rInsert Device and Refresh"},
        NothingFoundCase{"VantorKX", AdapterModel::VantorKX, Program::MsgCenter,
                         "No Available Vantor/KX Detected, Insert Device and Refresh",
                         "No Available Vantor/KX Detected\rInsert Device and Refresh"},
        NothingFoundCase{"VantorDU", AdapterModel::VantorDU, Program::MsgCenter,
                         "No Available Vantor DLL/USB Detected, Insert Device and Refresh",
                         "No Available Vantor DLL/USB Detected\rInsert Device and Refresh"},
        NothingFoundCase{"VantorDUInMsgManager", AdapterModel::VantorDU, Program::MsgManager,
                         "No Available Vantor Dll/USB Detected, Insert Device and Refresh",
                         "No Available Vantor DLL/USB Detected\rInsert Device and Refresh"},
        NothingFoundCase{"VantorNX", AdapterModel::VantorNX, Program::MsgCenter,
                         "No Available ComPorts Detected, See Windows Device Manager",
                         "No Available ComPorts Detected\rSee Windows Device Manager"},
        NothingFoundCase{"VarClkInMsgManager", AdapterModel::VarClk, Program::MsgManager,
                         "No Available ComPorts Detected, See Windows Device Manager",
                         "No Available ComPorts Detected\rSee Windows Device Manager"}),
    caseName<NothingFoundCase>);

TEST_F(DiscoveryTest, RefreshReplacesTheEarlierResult) {
  ports.addPty(5);
  ports.describeUsb(5, 0x0207, "DR0005");
  EXPECT_EQ(discover(AdapterModel::Dorrit), 1);
  EXPECT_EQ(discover(AdapterModel::VantorLX), 0);
  EXPECT_EQ(PortList.Items().strings(), (Strings{"None", " "}));
  EXPECT_EQ(SNListBox.Items().strings(), (Strings{"None", " "}));
}

TEST(SerialNumber, ModelsWithoutUsbSearchShowNone) {
  ui::TForm form;
  ui::TListBox portList{&form};
  ui::TListBox serialList{&form};
  ui::TEdit box{&form};
  portList.Items().assign({" 5", " "});
  serialList.Items().assign({" 5=LX0005", " "});
  portList.setItemIndex(0);
  UpdateSerialNumber(AdapterModel::VantorQX, {portList, serialList, box});
  EXPECT_EQ(box.Text(), "Not Available");
  EXPECT_FALSE(box.Visible());
  UpdateSerialNumber(AdapterModel::VantorKX, {portList, serialList, box});
  EXPECT_EQ(box.Text(), "SN# LX0005");
  EXPECT_TRUE(box.Visible());
}

TEST(PortNumberOfEntry, ReadsTheEntryText) {
  EXPECT_EQ(portNumberOfEntry(" 5"), 5);
  EXPECT_EQ(portNumberOfEntry("12"), 12);
  EXPECT_EQ(portNumberOfEntry("99"), 99);
  EXPECT_EQ(portNumberOfEntry("None"), 0);
  EXPECT_EQ(portNumberOfEntry(" "), 0);
  EXPECT_EQ(portNumberOfEntry(""), 0);
  EXPECT_EQ(portNumberOfEntry("3x"), 0);
  EXPECT_EQ(portNumberOfEntry("-3"), 0);
  EXPECT_EQ(portNumberOfEntry("99999999999"), 0);
}

TEST(ProbePort, NumbersOutsideTheRangeAreNeverProbed) {
  testing::PortFolder ports;
  EXPECT_FALSE(ProbePort(0));
  EXPECT_FALSE(ProbePort(100));
  EXPECT_FALSE(ProbePort(-1));
}

}  // namespace
}  // namespace shared
