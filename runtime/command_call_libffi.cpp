// Calls through libffi, which knows the calling convention of any build.
#include "command_call.h"

#include <ffi.h>

#include <type_traits>

namespace standin {

struct BoundCommand::CallFrame {
  std::vector<ffi_type*> argumentTypes;
  mutable ffi_cif cif{};  // ffi_call takes it writable, though it only reads it
};

namespace {

ffi_type* ffiTypeOf(CType type) {
  switch (type) {
    case CType::Void: return &ffi_type_void;
    case CType::UInt32: return &ffi_type_uint32;
    case CType::Int32: return &ffi_type_sint32;
    case CType::Float: return &ffi_type_float;
    case CType::Char: return std::is_signed_v<char> ? &ffi_type_schar : &ffi_type_uchar;
    case CType::String: return &ffi_type_pointer;
  }
  return &ffi_type_void;
}

// Storage for one argument of any of the C types, for the call's duration.
struct ArgumentSlot {
  std::uint32_t unsignedValue = 0;
  std::int32_t signedValue = 0;
  char charValue = 0;
  float floatValue = 0;
  char* stringValue = nullptr;
};

}  // namespace

std::shared_ptr<const BoundCommand::CallFrame> BoundCommand::prepareCall(
    const ExportSignature& signature, std::string& error) {
  auto frame = std::make_shared<CallFrame>();
  for (CType type : signature.arguments) frame->argumentTypes.push_back(ffiTypeOf(type));
  if (ffi_prep_cif(&frame->cif, FFI_DEFAULT_ABI, static_cast<unsigned>(frame->argumentTypes.size()),
                   ffiTypeOf(signature.result), frame->argumentTypes.data()) != FFI_OK) {
    error = "libffi refuses it";
    return nullptr;
  }
  return frame;
}

std::uint32_t BoundCommand::call(const std::vector<ArgumentValue>& values) const {
  const std::size_t count = signature_.arguments.size();
  std::vector<ArgumentSlot> slots(count);
  std::vector<std::vector<char>> strings;  // the callee gets char*, so it gets copies
  strings.reserve(count);
  std::vector<void*> pointers(count);

  for (std::size_t i = 0; i < count; ++i) {
    ArgumentSlot& slot = slots[i];
    const ArgumentValue& value = values.at(i);
    switch (signature_.arguments[i]) {
      case CType::UInt32:
        slot.unsignedValue = std::get<std::uint32_t>(value);
        pointers[i] = &slot.unsignedValue;
        break;
      case CType::Int32:
        slot.signedValue = static_cast<std::int32_t>(std::get<std::uint32_t>(value));
        pointers[i] = &slot.signedValue;
        break;
      case CType::Char:
        slot.charValue = static_cast<char>(std::get<std::uint32_t>(value) & 0xFFu);
        pointers[i] = &slot.charValue;
        break;
      case CType::Float:
        slot.floatValue = std::get<float>(value);
        pointers[i] = &slot.floatValue;
        break;
      case CType::String: {
        const std::string& text = std::get<std::string>(value);
        std::vector<char>& copy = strings.emplace_back(text.begin(), text.end());
        copy.push_back('\0');
        slot.stringValue = copy.data();
        pointers[i] = &slot.stringValue;
        break;
      }
      case CType::Void:
        break;
    }
  }

  ffi_arg result = 0;
  ffi_call(&frame_->cif, FFI_FN(entry_), &result, pointers.data());
  return signature_.result == CType::Void ? 0 : static_cast<std::uint32_t>(result);
}

}  // namespace standin
