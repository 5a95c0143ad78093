#pragma once
// What a failed Win32 file call's error says about trying again
// (storage/file_retry.h): another program has the file open in a way that
// excludes this use of it. A file whose deletion is pending, as one that its
// holder opened with FILE_FLAG_DELETE_ON_CLOSE and just closed, answers
// access denied until the last handle to it is gone.
#include <windows.h>

#include "storage/file_retry.h"

namespace horalis {

inline Attempt attemptAfterFileError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED
               ? Attempt::Held
               : Attempt::Failed;
}

}  // namespace horalis
