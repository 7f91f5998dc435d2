// pipe_server_user.cpp: the pipe server's user read from its process token.
#include "pipe_server_user.h"

#include <vector>

#include "win/unique_handle.h"

namespace one {
namespace {

// The token user of a process, as the token returns it (the SID points into the bytes); empty when
// it cannot be read.
std::vector<BYTE> tokenUser(HANDLE process) {
  velmar::win::UniqueHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return {};
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks for the size only
  if (size == 0) return {};
  std::vector<BYTE> user(size);
  if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return {};
  return user;
}

PSID sidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

}  // namespace

ServerUser processUser(DWORD processId) {
  if (processId == 0) return ServerUser::Unknown;
  std::vector<BYTE> ours = tokenUser(GetCurrentProcess());
  std::vector<BYTE> theirs;
  // The limited right is enough on Windows; Wine wants the full one for the token.
  for (DWORD access : {DWORD{PROCESS_QUERY_LIMITED_INFORMATION}, DWORD{PROCESS_QUERY_INFORMATION}}) {
    velmar::win::UniqueHandle process(OpenProcess(access, FALSE, processId));
    if (process) theirs = tokenUser(process.get());
    if (!theirs.empty()) break;
  }
  if (theirs.empty() || ours.empty()) return ServerUser::Other;
  return EqualSid(sidOf(theirs), sidOf(ours)) ? ServerUser::Same : ServerUser::Other;
}

ServerUser pipeServerUser(HANDLE pipe) {
  ULONG serverId = 0;
  if (!GetNamedPipeServerProcessId(pipe, &serverId)) serverId = 0;
  return processUser(serverId);
}

}  // namespace one
