// @brief The inotify watches that cover one folder, or one folder tree.
#pragma once

#if __has_include(<sys/inotify.h>)
#define WINPORT_HAVE_INOTIFY 1

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

namespace winport::detail {

// What a scan of newly watched folders found inside them: entries that were
// created before their folder's watch existed, so no event tells of them.
struct FoundEntries {
  bool files = false;
  bool folders = false;
};

// Owns an inotify instance and keeps one watch per folder, keyed by watch
// descriptor, with the folder's current path. Not thread-safe: the owner
// serialises calls.
class WatchTree {
 public:
  WatchTree(std::string root, bool subtree, uint32_t extra_mask);
  ~WatchTree();
  WatchTree(const WatchTree&) = delete;
  WatchTree& operator=(const WatchTree&) = delete;

  // Asked between folders while arming; true gives the arming up.
  using Cancelled = std::function<bool()>;

  // Creates the instance and watches the root (and, for a subtree, every
  // folder below it). Returns 0, ECANCELED when `cancelled` said so, or the
  // errno of the failure to watch the root.
  int Arm(const Cancelled& cancelled = {});

  int Descriptor() const { return m_fd; }
  const std::string& Root() const { return m_root; }
  bool Subtree() const { return m_subtree; }
  bool IsRoot(int watch) const { return watch == m_root_watch; }
  bool Incomplete() const { return m_incomplete; }

  // The path of the folder a watch stands for, or null for an unknown watch.
  const std::string* PathOf(int watch) const;

  // Watches `folder` and, for a subtree, the folders below it; reports the
  // entries found inside (only meaningful for folders created after arming).
  FoundEntries AddFolder(const std::string& folder);

  // Drops the watches of `folder` and everything below it (moved away).
  void RemoveFolder(const std::string& folder);

  // Forgets a watch the kernel has removed (IN_IGNORED).
  void Forget(int watch) { m_paths.erase(watch); }

 private:
  int Watch(const std::string& folder, uint32_t mask);
  // AddFolder's walk; false when `cancelled` stopped it part-way.
  bool Walk(const std::string& folder, FoundEntries& found, const Cancelled& cancelled);

  std::string m_root;
  const bool m_subtree;
  const uint32_t m_mask;
  int m_fd = -1;
  int m_root_watch = -1;
  bool m_incomplete = false;
  std::unordered_map<int, std::string> m_paths;
};

}  // namespace winport::detail

#endif
