// The INI file accessor the settings store works through: one section/key read or write
// per call, straight to the file, nothing cached.
#pragma once

#include "base/bytes.h"

#include <cstdint>
#include <utility>

// The four operations on an INI file. The integer forms are built on the text forms, so a
// derived class supplies only the text access to the file.
class TCustomIniFile {
  public:
    explicit TCustomIniFile(ByteString fileName) : fileName_(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const ByteString& FileName() const { return fileName_; }

    // The key's text, or defaultValue when the file, the section or the key is missing.
    virtual ByteString ReadString(const char* section, const char* key,
                                  const ByteString& defaultValue) const = 0;
    // Replaces or adds the key; raises Exception "<file> に書き込めません" on failure.
    virtual void WriteString(const char* section, const char* key, const ByteString& value) = 0;
    // Removes the key if it is there (a missing file stays missing); raises as WriteString.
    virtual void DeleteKey(const char* section, const char* key) = 0;

    // The key's text by the integer read rule, or defaultValue when it is malformed.
    int32_t ReadInteger(const char* section, const char* key, int32_t defaultValue) const;
    // The value in "%d" form.
    void WriteInteger(const char* section, const char* key, int32_t value);

  private:
    ByteString fileName_;
};

// An INI file through the platform's private-profile services.
class TIniFile : public TCustomIniFile {
  public:
    using TCustomIniFile::TCustomIniFile;

    ByteString ReadString(const char* section, const char* key,
                          const ByteString& defaultValue) const override;
    void WriteString(const char* section, const char* key, const ByteString& value) override;
    void DeleteKey(const char* section, const char* key) override;
};
