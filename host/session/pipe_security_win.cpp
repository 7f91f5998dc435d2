#include "pipe_security_win.h"

#include "win/last_error.h"
#include "win/unique_handle.h"

PipeSecurity::PipeSecurity() {
  velmar::win::UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
    velmar::win::throwLastError("OpenProcessToken");
  }
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks for the size only
  user_.resize(size == 0 ? sizeof(TOKEN_USER) : size);
  if (!GetTokenInformation(token.get(), TokenUser, user_.data(), static_cast<DWORD>(user_.size()), &size)) {
    velmar::win::throwLastError("GetTokenInformation");
  }
  const PSID user = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;

  DWORD systemSize = SECURITY_MAX_SID_SIZE;
  system_.resize(systemSize);
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system_.data(), &systemSize)) {
    velmar::win::throwLastError("CreateWellKnownSid");
  }
  const PSID system = system_.data();

  // Each ACE holds its SID in place of its SidStart member.
  const DWORD aceBytes = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
  acl_.resize(sizeof(ACL) + 2 * aceBytes + GetLengthSid(user) + GetLengthSid(system));
  PACL acl = reinterpret_cast<PACL>(acl_.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION)) velmar::win::throwLastError("InitializeAcl");
  if (!AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, system)) {
    velmar::win::throwLastError("AddAccessAllowedAce");
  }
  if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) {
    velmar::win::throwLastError("InitializeSecurityDescriptor");
  }
  if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) {
    velmar::win::throwLastError("SetSecurityDescriptorDacl");
  }
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
}
