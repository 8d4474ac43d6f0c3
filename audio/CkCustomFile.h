// A file the program supplies in place of one on disk.
#pragma once

class CkCustomFile {
  public:
    virtual ~CkCustomFile() = default;
    virtual bool isValid() const = 0;
    virtual int read(void* buffer, int bytes) = 0;
    virtual int getSize() const = 0;
    virtual int getPos() const = 0;
    virtual void setPos(int pos) = 0;
};

// Turns a resolved path into the program's file, or null to read the disk.
typedef CkCustomFile* (*CkCustomFileFunc)(const char* path, void* data);
