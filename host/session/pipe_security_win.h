// pipe_security_win.h: the security the host's result pipes are created with: a DACL that grants
// access to the user the host runs as and to SYSTEM, nobody else. Built from the process token; one
// object per pipe creation, used on the creating thread.
#pragma once

#include <windows.h>

#include <vector>

class PipeSecurity {
 public:
  // Reads the token's user; failures are run-time errors ("OpenProcessToken failed with 5").
  PipeSecurity();
  PipeSecurity(const PipeSecurity&) = delete;
  PipeSecurity& operator=(const PipeSecurity&) = delete;

  // For CreateNamedPipeW; points into this object.
  SECURITY_ATTRIBUTES* attributes() noexcept { return &attributes_; }

 private:
  std::vector<BYTE> user_;    // TOKEN_USER as the token returns it; its SID points into it
  std::vector<BYTE> system_;  // the local system SID
  std::vector<BYTE> acl_;
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
};
