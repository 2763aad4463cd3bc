// Stands between the wlroots portal backend and the compositor on a machine
// without a GPU. The backend of Debian 12 starts a screen cast only when
// each screencopy frame also offers a GPU buffer format (linux_dmabuf),
// which a compositor without a GPU never does, although it then casts in
// shared-memory buffers alone. So before each frame's buffer_done the proxy
// adds that event, with the shared-memory buffer's size. Everything else,
// file descriptors included, passes as it is. Each connection is served by
// a process of its own.
//   screencast_shm_proxy LISTEN-SOCKET COMPOSITOR-SOCKET

#include <csignal>
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
std::set<uint32_t> registries, managers;
std::map<uint32_t, std::pair<uint32_t, uint32_t>> frames; // screencopy frames: their buffers' size

uint32_t Word(const uint8_t *at) {
  uint32_t word;
  std::memcpy(&word, at, 4);
  return word;
}

// Follows the registries, the screencopy managers and their frames; before
// a frame's buffer_done, puts in its linux_dmabuf event (XRGB8888).
void Look(bool toProgram, const uint8_t *m, uint32_t size, std::vector<uint8_t> &out) {
  const uint32_t object = Word(m), opcode = Word(m + 4) & 0xffff;
  if (!toProgram && object == 1 && opcode == 1 && size >= 12) {
    registries.insert(Word(m + 8)); // wl_display.get_registry
  } else if (!toProgram && registries.count(object) != 0 && opcode == 0 && size >= 16) {
    const uint32_t length = Word(m + 12), padded = (length + 3) & ~3u; // bind: name, interface, version, id
    if (length > 0 && 16 + padded + 8 <= size &&
        std::string(reinterpret_cast<const char *>(m + 16), length - 1) == "zwlr_screencopy_manager_v1") {
      managers.insert(Word(m + 16 + padded + 4));
    }
  } else if (!toProgram && managers.count(object) != 0 && opcode <= 1 && size >= 12) {
    frames[Word(m + 8)] = {0, 0}; // capture_output(_region): the frame first
  } else if (toProgram && frames.count(object) != 0) {
    if (opcode == 0 && size >= 24) { // buffer: format, width, height, stride
      frames[object] = {Word(m + 12), Word(m + 16)};
    } else if (opcode == 6) { // buffer_done
      const uint32_t event[] = {object, (20u << 16) | 5u, 0x34325258, frames[object].first, frames[object].second};
      out.insert(out.end(), reinterpret_cast<const uint8_t *>(event), reinterpret_cast<const uint8_t *>(event + 5));
    } else if (opcode == 2 || opcode == 3) { // ready, failed
      frames.erase(object);
    }
  }
  out.insert(out.end(), m, m + size);
}

// Passes on the whole messages that came, with their descriptors; false
// when either side has gone.
bool Pass(int from, int to, bool toProgram, std::vector<uint8_t> &pending) {
  uint8_t bytes[8192];
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 28)];
  iovec io{bytes, sizeof(bytes)};
  msghdr in{nullptr, 0, &io, 1, control, sizeof(control), 0};
  const ssize_t n = recvmsg(from, &in, MSG_CMSG_CLOEXEC);
  if (n <= 0) {
    return false;
  }
  pending.insert(pending.end(), bytes, bytes + n);
  std::vector<uint8_t> out;
  size_t whole = 0;
  for (uint32_t size; pending.size() - whole >= 8 && (size = Word(pending.data() + whole + 4) >> 16) >= 8 &&
                      pending.size() - whole >= size;
       whole += size) {
    Look(toProgram, pending.data() + whole, size, out);
  }
  pending.erase(pending.begin(), pending.begin() + long(whole));
  iovec sent{out.data(), out.size()};
  msghdr message{nullptr, 0, &sent, 1, in.msg_controllen > 0 ? control : nullptr, in.msg_controllen, 0};
  return (out.empty() && in.msg_controllen == 0) || sendmsg(to, &message, MSG_NOSIGNAL) == ssize_t(out.size());
}

int Socket(const char *path, bool listening) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path);
  const auto *a = reinterpret_cast<sockaddr *>(&address);
  const bool ok =
      listening ? bind(fd, a, sizeof(address)) == 0 && listen(fd, 1) == 0 : connect(fd, a, sizeof(address)) == 0;
  return ok ? fd : -1;
}
} // namespace

int main(int argc, char **argv) {
  const int listener = argc == 3 ? Socket(argv[1], true) : -1;
  signal(SIGCHLD, SIG_IGN);
  int program = -1;
  while (listener >= 0 && (program = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0 && fork() != 0) {
    close(program);
  }
  const int compositor = program >= 0 ? Socket(argv[2], false) : -1;
  if (compositor < 0) {
    std::perror("screencast_shm_proxy");
    return 1;
  }
  std::vector<uint8_t> up, down;
  for (pollfd fds[2] = {{program, POLLIN, 0}, {compositor, POLLIN, 0}}; poll(fds, 2, -1) >= 0;) {
    if ((fds[0].revents != 0 && !Pass(program, compositor, false, up)) ||
        (fds[1].revents != 0 && !Pass(compositor, program, true, down))) {
      return 0;
    }
  }
  return 1;
}
