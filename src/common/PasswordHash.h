#pragma once
// How a password is kept in passwd.db.
//
// The login window and the set-password dialog turn a typed password into its
// digest (SHA-1 over the Windows-1250 bytes, 40 upper-case hexadecimal
// digits). That digest was once stored as it is: unsalted and fast, so a
// stolen users table gave the passwords away to a dictionary in seconds. The
// program now stores a salted, slow hash of the digest instead (Argon2id, a
// string starting "$argon2id$", about 97 characters) and reads the old form
// only so that existing rows, and the empty-password digest given to new
// users and on a reset, still admit their users; the login replaces such a
// row with the slow hash.
#include <QString>

namespace fenwa {

// The text to store for a password whose digest is `digest`: a fresh salt
// each time. Empty when the hash could not be made (out of memory): the
// caller must then store nothing.
QString hashPassword(const QString &digest);

// Whether `digest` belongs to the password stored as `stored` (either form).
// The comparison takes the same time wherever the texts differ.
bool verifyPassword(const QString &stored, const QString &digest);

// Whether `stored` is the old, unsalted form that should be replaced by
// hashPassword once the password is known to be right.
bool isLegacyDigest(const QString &stored);

} // namespace fenwa
