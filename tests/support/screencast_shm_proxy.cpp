// Stands between the wlroots portal backend and the compositor on a machine
// without a GPU. The backend of Debian 12 starts a screen cast only when
// each screencopy frame also offers a GPU buffer format (linux_dmabuf),
// which a compositor without a GPU never does, although it then casts in
// shared-memory buffers alone (no GPU buffer can be allocated). So before
// each frame's buffer_done the proxy adds that event, telling the format
// of the shared-memory buffer. Everything else, file descriptors
// included, passes as it is.
//   screencast_shm_proxy LISTEN-SOCKET COMPOSITOR-SOCKET

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <poll.h>
#include <set>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// One direction of one connection: the bytes of a message not yet whole.
struct Direction {
  int from;
  int to;
  bool toClient;
  std::vector<uint8_t> pending;
};

struct Connection {
  Direction up;   // program to compositor
  Direction down; // compositor to program
  std::set<uint32_t> registries;
  std::set<uint32_t> managers;                              // screencopy managers
  std::map<uint32_t, std::pair<uint32_t, uint32_t>> frames; // screencopy frames: their buffers' size
};

constexpr uint32_t kXrgb8888 = 0x34325258; // DRM's XR24

int Listen(const char *path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path);
  unlink(path);
  if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 || listen(fd, 8) != 0) {
    std::perror(path);
    _exit(1);
  }
  return fd;
}

int Dial(const char *path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path);
  return connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 ? fd : -1;
}

uint32_t Word(const uint8_t *at) {
  uint32_t word;
  std::memcpy(&word, at, 4);
  return word;
}

// Looks at each whole message on its way: follows the registries, the
// screencopy managers and their frames; before a frame's buffer_done, puts
// in the linux_dmabuf event for `out`.
void Look(Connection &connection, const Direction &direction, const uint8_t *message, uint32_t size,
          std::vector<uint8_t> &out) {
  const uint32_t object = Word(message);
  const uint32_t opcode = Word(message + 4) & 0xffff;
  if (!direction.toClient) {
    if (object == 1 && opcode == 1 && size >= 12) {
      connection.registries.insert(Word(message + 8)); // wl_display.get_registry
    } else if (connection.registries.count(object) != 0 && opcode == 0 && size >= 16) {
      const uint32_t length = Word(message + 12); // wl_registry.bind: name, interface, version, id
      const uint32_t padded = (length + 3) & ~3u;
      if (16 + padded + 8 <= size && length > 0 &&
          std::string(reinterpret_cast<const char *>(message + 16), length - 1) == "zwlr_screencopy_manager_v1") {
        connection.managers.insert(Word(message + 16 + padded + 4));
      }
    } else if (connection.managers.count(object) != 0 && opcode <= 1 && size >= 12) {
      connection.frames[Word(message + 8)] = {0, 0}; // capture_output(_region): the frame first
    }
  } else if (const auto frame = connection.frames.find(object); frame != connection.frames.end()) {
    if (opcode == 0 && size >= 24) { // buffer: format, width, height, stride
      frame->second = {Word(message + 12), Word(message + 16)};
    } else if (opcode == 6) { // buffer_done
      const uint32_t event[] = {object, (20u << 16) | 5u, kXrgb8888, frame->second.first, frame->second.second};
      const auto *bytes = reinterpret_cast<const uint8_t *>(event);
      out.insert(out.end(), bytes, bytes + sizeof(event));
    } else if (opcode == 2 || opcode == 3) { // ready, failed: the frame is over
      connection.frames.erase(frame);
    }
  }
  out.insert(out.end(), message, message + size);
}

// Passes what came on; false when either side has gone.
bool Pass(Connection &connection, Direction &direction) {
  std::array<uint8_t, 8192> bytes{};
  std::array<char, CMSG_SPACE(sizeof(int) * 28)> control{};
  iovec io{bytes.data(), bytes.size()};
  msghdr message{};
  message.msg_iov = &io;
  message.msg_iovlen = 1;
  message.msg_control = control.data();
  message.msg_controllen = control.size();
  const ssize_t n = recvmsg(direction.from, &message, MSG_CMSG_CLOEXEC);
  if (n <= 0) {
    return false;
  }
  std::vector<int> fds;
  for (cmsghdr *c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
      const size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
      const int *given = reinterpret_cast<const int *>(CMSG_DATA(c));
      fds.insert(fds.end(), given, given + count);
    }
  }
  direction.pending.insert(direction.pending.end(), bytes.begin(), bytes.begin() + n);
  size_t whole = 0;
  std::vector<uint8_t> passed;
  while (direction.pending.size() - whole >= 8) {
    const uint32_t size = Word(direction.pending.data() + whole + 4) >> 16;
    if (size < 8 || direction.pending.size() - whole < size) {
      break;
    }
    Look(connection, direction, direction.pending.data() + whole, size, passed);
    whole += size;
  }
  // The whole messages go on, with every descriptor received so far.
  iovec out{passed.data(), passed.size()};
  msghdr sent{};
  sent.msg_iov = &out;
  sent.msg_iovlen = 1;
  std::array<char, CMSG_SPACE(sizeof(int) * 28)> outControl{};
  if (!fds.empty()) {
    sent.msg_control = outControl.data();
    sent.msg_controllen = CMSG_SPACE(sizeof(int) * fds.size());
    cmsghdr *c = CMSG_FIRSTHDR(&sent);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
    std::memcpy(CMSG_DATA(c), fds.data(), sizeof(int) * fds.size());
  }
  const bool ok =
      (passed.empty() && fds.empty()) || sendmsg(direction.to, &sent, MSG_NOSIGNAL) == ssize_t(passed.size());
  for (const int fd : fds) {
    close(fd);
  }
  direction.pending.erase(direction.pending.begin(), direction.pending.begin() + long(whole));
  return ok;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LISTEN-SOCKET COMPOSITOR-SOCKET\n", argv[0]);
    return 2;
  }
  const int listener = Listen(argv[1]);
  std::vector<Connection *> connections;
  for (;;) {
    std::vector<pollfd> watched{{listener, POLLIN, 0}};
    for (const Connection *c : connections) {
      watched.push_back({c->up.from, POLLIN, 0});
      watched.push_back({c->down.from, POLLIN, 0});
    }
    if (poll(watched.data(), watched.size(), -1) < 0) {
      continue;
    }
    if ((watched[0].revents & POLLIN) != 0) {
      const int program = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      const int compositor = Dial(argv[2]);
      if (program >= 0 && compositor >= 0) {
        connections.push_back(
            new Connection{{program, compositor, false, {}}, {compositor, program, true, {}}, {}, {}, {}});
      } else {
        close(program);
        close(compositor);
      }
      continue;
    }
    for (size_t i = 0; i < connections.size(); ++i) {
      Connection *c = connections[i];
      const bool upReady = (watched[1 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
      const bool downReady = (watched[2 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
      if ((upReady && !Pass(*c, c->up)) || (downReady && !Pass(*c, c->down))) {
        close(c->up.from);
        close(c->down.from);
        delete c;
        connections.erase(connections.begin() + long(i));
        break;
      }
    }
  }
}
