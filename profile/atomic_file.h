// Replacing a file so that a reader sees the old content or the new, never a part of either, and
// a crash leaves one of the two: a temporary file beside it (<path>.XXXXXX), written and flushed,
// then renamed over the old one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace linkmate {

// `shareable`: readable by others as the user's umask allows (else for the user alone).
// `beforeRename` runs once the new content is safely on disk. False with the reason in `error`.
bool ReplaceFileAtomically(const std::string& path, std::string_view text, bool shareable,
                           std::string* error, const std::function<void()>& beforeRename = {});

}  // namespace linkmate
