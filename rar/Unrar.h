#ifndef STAGEHOST_RAR_UNRAR_H
#define STAGEHOST_RAR_UNRAR_H
/*
 * The archive reader's C interface: the six calls of the UnRAR library's
 * documented plain interface, with the documented types, constants and
 * record layouts, so that either this reader or a system's own UnRAR library
 * can be linked behind it.
 *
 * Differences from that library, all deliberate:
 *  - RARHeaderData.Flags uses the RAR 1.5-4.x on-disk bits for both archive
 *    formats: 0x01 continued from the previous volume, 0x02 continued in the
 *    next one, 0x04 encrypted, 0x10 solid, 0xE0 (all three bits) directory.
 *  - FileName holds the member's path in UTF-8, cut at a character boundary
 *    so that it always fits with its terminator.
 *  - Result codes are not sticky: every call reports its own outcome.
 *  - Members split across volumes give ERAR_EOPEN (volumes are not followed).
 */

/* On Windows the calling convention and handle types are the system's own. */
#ifdef _WIN32
#include <windows.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define ERAR_SUCCESS             0
#define ERAR_END_ARCHIVE        10
#define ERAR_NO_MEMORY          11
#define ERAR_BAD_DATA           12
#define ERAR_BAD_ARCHIVE        13
#define ERAR_UNKNOWN_FORMAT     14
#define ERAR_EOPEN              15
#define ERAR_ECREATE            16
#define ERAR_ECLOSE             17
#define ERAR_EREAD              18
#define ERAR_EWRITE             19
#define ERAR_SMALL_BUF          20
#define ERAR_UNKNOWN            21
#define ERAR_MISSING_PASSWORD   22
#define ERAR_EREFERENCE         23
#define ERAR_BAD_PASSWORD       24
#define ERAR_LARGE_DICT         25

#define RAR_OM_LIST              0
#define RAR_OM_EXTRACT           1
#define RAR_OM_LIST_INCSPLIT     2

#define RAR_SKIP                 0
#define RAR_TEST                 1
#define RAR_EXTRACT              2

#define RAR_VOL_ASK              0
#define RAR_VOL_NOTIFY           1

#define RAR_DLL_VERSION          9

#define RHDF_SPLITBEFORE      0x01
#define RHDF_SPLITAFTER       0x02
#define RHDF_ENCRYPTED        0x04
#define RHDF_SOLID            0x10
#define RHDF_DIRECTORY        0xE0

#ifndef _WIN32
#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef PASCAL
#define PASCAL
#endif
#ifndef HANDLE
#define HANDLE void *
#endif
#ifndef LPARAM
#define LPARAM long
#endif
#ifndef UINT
#define UINT unsigned int
#endif
#endif

enum UNRARCALLBACK_MESSAGES {
  UCM_CHANGEVOLUME, UCM_PROCESSDATA, UCM_NEEDPASSWORD, UCM_CHANGEVOLUMEW,
  UCM_NEEDPASSWORDW, UCM_LARGEDICT
};

typedef int (CALLBACK *UNRARCALLBACK)(UINT msg, LPARAM UserData, LPARAM P1, LPARAM P2);

struct RARHeaderData
{
  char         ArcName[260];
  char         FileName[260];
  unsigned int Flags;
  unsigned int PackSize;
  unsigned int UnpSize;
  unsigned int HostOS;
  unsigned int FileCRC;
  unsigned int FileTime;
  unsigned int UnpVer;
  unsigned int Method;
  unsigned int FileAttr;
  char         *CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState;
};

struct RAROpenArchiveData
{
  char         *ArcName;
  unsigned int OpenMode;
  unsigned int OpenResult;
  char         *CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState;
};

HANDLE PASCAL RAROpenArchive(struct RAROpenArchiveData *ArchiveData);
int    PASCAL RARCloseArchive(HANDLE hArcData);
int    PASCAL RARReadHeader(HANDLE hArcData, struct RARHeaderData *HeaderData);
int    PASCAL RARProcessFile(HANDLE hArcData, int Operation, char *DestPath, char *DestName);
void   PASCAL RARSetCallback(HANDLE hArcData, UNRARCALLBACK Callback, LPARAM UserData);
void   PASCAL RARSetPassword(HANDLE hArcData, char *Password);

#ifdef __cplusplus
}
#endif

#endif
