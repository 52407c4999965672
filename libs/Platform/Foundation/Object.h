#pragma once

#include <string>

namespace platform {

class KeyedArchiver;

// The root of reference-typed values: anything a Value can hold by reference (a settings
// entry that is a live controller, a task parameter that is a shared object).
class Object {
 public:
  virtual ~Object();
  virtual std::string className() const = 0;
};

// An object that can be written into a keyed archive. It encodes its state under its own keys;
// decoding goes through the factory registered for its class name (ArchivableRegistry).
class Archivable : public Object {
 public:
  virtual void encodeWithCoder(KeyedArchiver& coder) const = 0;
};

}  // namespace platform
