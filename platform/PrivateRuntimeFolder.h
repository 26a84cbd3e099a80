#pragma once

#include <QString>

#include <optional>

// A folder of this user's alone, for sockets and lock files that other users must not reach,
// plant or replace: <$XDG_RUNTIME_DIR>/<name>, or <temp dir>/<name>-<user id> when there is no
// runtime folder or it is not fit (another user's, or others may write to it).
//
// The folder is made with mode 0700 when missing. One that already exists is used only when it
// is a real folder (never through a symbolic link), this user's, with no rights for anybody
// else: whatever is inside was then put there by this user. And it is used only where nobody
// else may rename it or put another in its place (a folder others may write to needs the
// sticky bit, as the temp dir has), so its path names the folder that was checked for as long
// as it is used.
//
// Any thread.
class PrivateRuntimeFolder {
public:
    // The folder's path; nothing when no such folder can be had.
    static std::optional<QString> open(const QString& name);
};
