// @brief The inotify watches that cover one folder, or one folder tree.
#include "winport/src/system/watch_tree.h"

#ifdef WINPORT_HAVE_INOTIFY

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace winport::detail {
namespace {

constexpr uint32_t kBaseMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                               IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                               IN_DONT_FOLLOW;

bool IsRealFolder(const std::string& folder, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN) return false;
  struct stat info;
  const std::string path = folder + "/" + entry->d_name;
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Below(const std::string& path, const std::string& folder) {
  return path == folder ||
         (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          path[folder.size()] == '/');
}

}  // namespace

WatchTree::WatchTree(std::string root, bool subtree, uint32_t extra_mask)
    : m_root(std::move(root)), m_subtree(subtree), m_mask(kBaseMask | extra_mask) {
  while (m_root.size() > 1 && m_root.back() == '/') m_root.pop_back();
}

WatchTree::~WatchTree() {
  if (m_fd >= 0) ::close(m_fd);
}

int WatchTree::Arm(const Cancelled& cancelled) {
  m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_fd < 0) return errno;
  // The root is followed when it is a link (a help folder is often one);
  // nothing below it is, so the watches never leave the tree the scan reads.
  m_root_watch = Watch(m_root, m_mask & ~IN_DONT_FOLLOW);
  if (m_root_watch < 0) return errno;
  FoundEntries found;
  if (m_subtree && !Walk(m_root, found, cancelled)) return ECANCELED;
  return 0;
}

const std::string* WatchTree::PathOf(int watch) const {
  auto found = m_paths.find(watch);
  return found == m_paths.end() ? nullptr : &found->second;
}

int WatchTree::Watch(const std::string& folder, uint32_t mask) {
  const int watch = ::inotify_add_watch(m_fd, folder.c_str(), mask);
  if (watch >= 0) {
    m_paths[watch] = folder;
  } else if (errno == ENOSPC || errno == ENOMEM) {
    m_incomplete = true;  // the system's watch limit: keep what we have
  }
  return watch;
}

FoundEntries WatchTree::AddFolder(const std::string& folder) {
  FoundEntries found;
  Walk(folder, found, {});
  return found;
}

bool WatchTree::Walk(const std::string& folder, FoundEntries& found, const Cancelled& cancelled) {
  std::vector<std::string> pending{folder};
  while (!pending.empty()) {
    if (cancelled && cancelled()) return false;
    const std::string current = std::move(pending.back());
    pending.pop_back();
    if (current != m_root && Watch(current, m_mask) < 0) continue;
    if (!m_subtree) continue;
    DIR* dir = ::opendir(current.c_str());
    if (dir == nullptr) continue;
    while (const dirent* entry = ::readdir(dir)) {
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      if (IsRealFolder(current, entry)) {
        found.folders = true;
        pending.push_back(current + "/" + name);
      } else {
        found.files = true;
      }
    }
    ::closedir(dir);
  }
  return true;
}

void WatchTree::RemoveFolder(const std::string& folder) {
  for (auto it = m_paths.begin(); it != m_paths.end();) {
    if (it->first != m_root_watch && Below(it->second, folder)) {
      ::inotify_rm_watch(m_fd, it->first);
      it = m_paths.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace winport::detail

#endif
