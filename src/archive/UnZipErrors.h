#pragma once
// The archive component's exceptions, each with its fixed message.
#include <string>

#include "util/Exception.h"

class EUnZipException : public Exception {
public:
    using Exception::Exception;
};

// No end-of-central-directory record (with the default incomplete-archive mode).
class EIncompleteZip : public EUnZipException {
public:
    EIncompleteZip() : EUnZipException("Incomplete Zip File") {}
};

// No end record, with the mode that treats such a file as no archive at all.
class ENotAZipFile : public EUnZipException {
public:
    ENotAZipFile() : EUnZipException("Not a valid zip file!") {}
};

// The central directory is unreadable and cannot be rebuilt from the local headers.
class EBadZipFile : public EUnZipException {
public:
    EBadZipFile() : EUnZipException("Not a valid zip file!") {}
};

class EUserCanceled : public EUnZipException {
public:
    EUserCanceled() : EUnZipException("User Aborted Operation") {}
};

// The archive ends inside an entry's stored data.
class EFatalUnzipError : public EUnZipException {
public:
    EFatalUnzipError() : EUnZipException("Premature end of file reached") {}
};

// The Deflate decoder rejected the data.
class EZCompressionError : public EUnZipException {
public:
    EZCompressionError() : EUnZipException("error") {}
};

// An entry decodes to more bytes than its declared uncompressed size.
class EBiggerThanUncompressed : public EUnZipException {
public:
    EBiggerThanUncompressed() : EUnZipException("File is larger than uncompressed size!") {}
};

// A write to the output file came up short (disk full).
class ECantWriteUCF : public EUnZipException {
public:
    ECantWriteUCF() : EUnZipException("Cant write uncompressed file") {}
};

// The stream layer's error for a file that cannot be opened; names the path.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}
};
