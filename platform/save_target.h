#pragma once
// Where a save puts its bytes. A regular file, or a name not taken yet, is replaced whole: a
// temporary file beside it is renamed over it once written. A character device or a pipe
// (/dev/null, a terminal, a FIFO, or a symbolic link to one) is never renamed over: it is
// opened and written in place, as a shell's redirection writes it. Anything else is refused.
#include <string>
#include <string_view>

namespace tav {

enum class SaveTarget { replace, in_place };

// How a save writes `path`, following symbolic links. Raises Error ("cannot write ...;
// nothing was written") for a folder, a block device, a socket or another kind of file that
// is neither a regular file nor a device or pipe to write into.
SaveTarget save_target(const std::string& path);

// The file a save that replaces `path` renames over: path itself, or the file a symbolic link
// at path names (followed to its end, also when that file does not exist yet), so that the
// link stays a link and its target gets the text.
std::string replaced_file(const std::string& path);

// Opens `path` for writing (no creation, no rename) and writes every byte of `bytes` into it.
// Opening a FIFO waits for a reader, as a shell's redirection does. A reader that goes away
// is reported, not a signal that ends the program. Raises Error naming the file; it says
// whether nothing or only a part reached the file.
void write_in_place(const std::string& path, std::string_view bytes);

}  // namespace tav
