// CacheFolder: where the runs on this machine keep the answers they share
// (CACHE=n): the folder "PoolMetrics.cache" beside the program, one file
// per key (named by a digest of the key, which the file holds too), each
// written whole under another name and then put in place. A key's lock
// file serialises the runs of one key: the first that finds no fresh answer
// asks SAP and keeps what it got while the others wait, then they read it.
// A fresh answer is read without the lock: it is only ever put in place
// whole, and a run that it serves needs no turn.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/file.h"
#include "base/file_lock.h"
#include "run/cached_answer.h"

namespace poolmetrics {

// The cache folder's folder, beside the program: PRTG's working directory is not
// known, and one per sensor would share nothing.
constexpr std::string_view kCacheFolderName = "PoolMetrics.cache";

// The answer files and their temporary files are removed by a run that
// keeps an answer once they are this old; lock files stay.
constexpr long kCachedFileLifeSeconds = 3600;

class CacheFolder {
 public:
  // The cache folder beside the program, its folder made when missing; none when
  // it cannot be used (`why` says why: a link, another owner, writable by
  // others, ...). The run then asks SAP as without the cache.
  static std::optional<CacheFolder> Open(std::string* why);
  // The same in `folder`, ended by its separator (Open's folder, or a
  // test's own).
  static std::optional<CacheFolder> OpenIn(std::string folder, std::string* why);

  // One key's turn: its lock is held while the turn lives, and its
  // temporary file, made new when the turn is taken, is removed with it
  // unless Keep put it in place.
  class Turn {
   public:
    Turn(Turn&&) = default;
    ~Turn();

    // Keeps what a query gave, when it is keepable (a failed call with the
    // hint read now from the library's trace file `trace_file`), and
    // removes the cache folder's own files that have grown old.
    void Keep(const SystemOutcome& outcome, const std::string& trace_file);

   private:
    friend class CacheFolder;
    // `name`: the digest of `key`, which names the key's files. The lock
    // is not held when its file is none of the cache folder's own (`why` says why).
    Turn(const CacheFolder& store, std::string key, std::string name, const std::function<void()>& before_waiting,
         std::string* why);

    std::optional<CachedAnswer> Fresh(unsigned seconds, std::string* why) const;

    std::string Path(std::string_view ending) const;

    std::string folder_;  // with its separator
    std::string key_;
    std::string name_;  // the digest of the key
    FileLock lock_;
    File temporary_;  // none once kept
  };

  // The key's answer when it is younger than `seconds` by this machine's
  // clock (one dated in the future is stale, and a file that is damaged,
  // cut short, of another version or of another key is none). It is looked
  // for without the key's lock first; when there is none, the run waits for
  // the key's turn (a deadline may end it meanwhile; `before_waiting` is
  // told before a wait, when another run holds it) and looks again, as the
  // run that held it may have just kept one. A run that this gives no
  // answer holds the turn in `turn`, asks SAP and keeps what it got there.
  //
  // The cache folder reads, writes, locks and removes only its own plain files
  // (base/own_file.h). When a file of the key is anything else (a link, a
  // hard link, another user's), it is left alone: there is no answer and
  // no turn, `unused` says why ("its file 0123456789abcdef.lock is a
  // link"), and the run asks SAP as without the cache.
  std::optional<CachedAnswer> Consult(std::string key, unsigned seconds, std::optional<Turn>& turn,
                                    std::string* unused, const std::function<void()>& before_waiting = {}) const;

 private:
  std::string folder_;  // with its separator
};

}  // namespace poolmetrics
