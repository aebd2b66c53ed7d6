// A user who may not open the serial device is told which device it was and which group to join.
// The tests run as root, whom file permissions do not stop; so the opening is tried in a child
// process that has given up root for the user nobody first.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

// Opens the port in a child process running as nobody and returns what OpenPort raised, or
// why the child could not try.
std::string OpenAsNobody(const std::string& device_name, const std::string& slave_path) {
  const struct passwd* nobody = getpwnam("nobody");
  if (!nobody) return "no user nobody";
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    std::string result;
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
      result = "could not become nobody";
    } else {
      LoopDispatcher dispatcher;
      TSerComm comm(dispatcher);
      ConfigureLikeTester(comm, slave_path);
      comm.SetDeviceName(device_name);
      comm.SetPauseFunction([](std::chrono::milliseconds) {});
      try {
        comm.OpenPort();
        result = "opened";
      } catch (const ESerCommError& e) {
        result = e.what();
      }
    }
    const ssize_t written = write(pipe_fds[1], result.data(), result.size());
    _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  close(pipe_fds[1]);
  std::string result;
  char buffer[512];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<std::size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return result;
}

class OpenPermissionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give the device to another group";
    // The user's ports folder, with COM1 linked to the device; readable by everyone.
    char templ[] = "/tmp/m797-permission-XXXXXX";
    folder_ = mkdtemp(templ);
    std::filesystem::create_directories(folder_ + "/TARKON/ports");
    for (const char* dir : {"", "/TARKON", "/TARKON/ports"})
      chmod((folder_ + dir).c_str(), 0755);
    std::filesystem::create_symlink(master_.SlavePath(), folder_ + "/TARKON/ports/COM1");
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (folder_.empty()) return;
    unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Gives the device node to group with the given mode; false when the system refuses.
  bool GiveDeviceTo(gid_t group, mode_t mode) {
    return chown(master_.SlavePath().c_str(), 0, group) == 0 &&
           chmod(master_.SlavePath().c_str(), mode) == 0;
  }

  PtyMaster master_;
  std::string folder_;
};

TEST_F(OpenPermissionTest, AUserOutsideTheDevicesGroupIsToldWhichGroupToJoin) {
  const struct group* dialout = getgrnam("dialout");
  if (!dialout) GTEST_SKIP() << "no group dialout";
  ASSERT_TRUE(GiveDeviceTo(dialout->gr_gid, 0660));
  const std::string node = master_.SlavePath();
  const std::string advice = " (Error 13, Permission denied). To open " + node +
                             " your user must be in the group dialout that owns it (sudo usermod "
                             "-aG dialout $USER, then log in again).";
  // The message names the port as the user picked it, then the device node behind it.
  EXPECT_EQ(OpenAsNobody("COM1", node), "Can't open specified device COM1" + advice);
  EXPECT_EQ(OpenAsNobody(node, node), "Can't open specified device " + node + advice);
}

TEST_F(OpenPermissionTest, ADeviceOnlyItsOwnerMayOpenIsSaidToBeOutOfReach) {
  ASSERT_TRUE(GiveDeviceTo(0, 0600));
  const std::string node = master_.SlavePath();
  EXPECT_EQ(OpenAsNobody("COM1", node),
            "Can't open specified device COM1 (Error 13, Permission denied). Your user has no "
            "right to open " +
                node + ".");
}

TEST_F(OpenPermissionTest, AMemberOfTheGroupOpensTheDevice) {
  const struct passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  ASSERT_TRUE(GiveDeviceTo(nobody->pw_gid, 0660));
  EXPECT_EQ(OpenAsNobody("COM1", master_.SlavePath()), "opened");
}

}  // namespace
}  // namespace m797::serial::testing
