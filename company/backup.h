// Backup and restore of the data files: every file of the data directory
// matching the backup patterns, of all companies, goes into one ZIP archive
// "VkBackup.zip" in a chosen destination folder, and comes back from it.
//
// The logic never shows anything itself: it tells a BackupObserver what it
// is doing and returns a BackupOutcome whose message is the text the backup
// window shows (the completion text, or the failure with the file named).
// The window's texts live here so the window and the admin tool share them.
//
// What keeps a good backup and the data files safe:
//  1. The archive is written under a temporary name in the destination,
//     opened again and every entry read back (size and CRC) before it is
//     renamed over "VkBackup.zip"; a failed backup leaves the earlier archive
//     as it was and never reports completion.
//  2. A restore checks the archive, extracts it into a temporary folder in
//     the data directory, and only when every entry extracted cleanly moves
//     the files over the data files; when a move fails, the files already
//     moved are put back.
//  3. Entry names that are not plain file names (a directory part, "..", an
//     absolute path, a drive) refuse the whole restore.
#ifndef TALLYBOOK_COMPANY_BACKUP_H_
#define TALLYBOOK_COMPANY_BACKUP_H_

#include <string>
#include <string_view>
#include <vector>

namespace tallybook::company {

// ---- the archive and what goes into it

inline constexpr char kBackupArchiveName[] = "VkBackup.zip";
inline constexpr char kBackupPatterns[] = "*.DAT;*.IX;*.SAV;*.LST;*.LBL;*.RTF;*.BMP";
// The last destination used, kept in the data directory. It does not match
// the backup patterns on purpose: it names a folder of this machine, which a
// restore onto another machine should not carry over.
inline constexpr char kLastBackupFileName[] = "LastBackup.cfg";

// ---- texts of the backup window

inline constexpr char kBackupWindowCaption[] = "Vk Tallybook PRO Backup";
inline constexpr char kBackupHelpTopic[] = "backupdata";
inline constexpr char kBackupButtonText[] = "&Backup";
inline constexpr char kRestoreButtonText[] = "&Restore";
inline constexpr char kExitBackupButtonText[] = "Exit Backup";
inline constexpr char kBackupReadyStatus[] = "Ready. Select backup or restore button...";
inline constexpr char kBackingUpStatus[] = "Backing up your files...";
inline constexpr char kRestoringStatus[] = "Restoring your files...";
inline constexpr char kCheckingArchiveStatus[] = "Checking the backup archive...";

inline constexpr char kBackupConfirmCaption[] = "Please Confirm";
inline constexpr char kBackupConfirmPrefix[] = "Ready to backup files to folder ";
inline constexpr char kBackupConfirmSuffix[] = "?";
inline constexpr char kBackupCompleteCaption[] = "Vk Backup";
inline constexpr char kBackupCompletePrefix[] = "Backup complete. ";
inline constexpr char kBackupCompleteSuffix[] = " files were copied.";
inline constexpr char kNoFilesToBackUpPrefix[] = "There are no data files to back up in ";

inline constexpr char kRestoreCaption[] = "Restore";
inline constexpr char kRestoreConfirmPrefix[] =
    "Ready to RESTORE files from backup disk in folder ";
inline constexpr char kRestoreConfirmSuffix[] =
    ". WARNING!! Your data files will be over-written by the backup files! Continue?";
inline constexpr char kBackupNotFoundText[] = "Unable to locate the backup files.";
inline constexpr char kRestoreCompleteCaption[] = "Restore Complete";
inline constexpr char kRestoreCompleteText[] =
    "Restore files operation complete. You should now run the \"rebuild data "
    "files\" option on the Tools Menu to update your data files.";

// "Ready to backup files to folder " + destination + "?"
std::string BackupConfirmText(const std::string& destination);
// The restore question, naming the destination.
std::string RestoreConfirmText(const std::string& destination);
// "Backup complete. " + n + " files were copied."
std::string BackupCompleteText(int file_count);

// ---- choosing files

// True when file_name (no directory) matches one of kBackupPatterns,
// without regard to case: "tl1confg.dat", "LastCo.Dat" and "Company.DAT"
// all match, "1P.DAT.bak" and "notes.txt" do not.
bool MatchesBackupPattern(std::string_view file_name);

// The regular files of data_dir that match, sorted by name. On failure
// (data_dir unreadable) returns an empty list and sets *error.
std::vector<std::string> ListBackupFiles(const std::string& data_dir,
                                         std::string* error);

// ---- destinations

// The folders offered as destinations: last_used first when it is still a
// folder, then every folder directly inside each of roots (the mount
// points of removable volumes), sorted, without repeats. Roots that do not
// exist are skipped.
std::vector<std::string> ListBackupDestinations(const std::vector<std::string>& roots,
                                                const std::string& last_used);

// The roots where this system mounts removable volumes for the user:
// /media/<user> and /run/media/<user>.
std::vector<std::string> RemovableVolumeRoots();

// The destination remembered in data_dir, or "" when none is (or the file
// is unreadable or not a single line of text).
std::string LoadLastBackupDestination(const std::string& data_dir);
// Remembers destination; false (and *error set) when it cannot be written.
bool SaveLastBackupDestination(const std::string& data_dir,
                               const std::string& destination, std::string* error);

// The archive of a restore source: source itself when it is not a folder,
// else source + "/VkBackup.zip".
std::string BackupArchivePath(const std::string& source);

// ---- running

// What the backup and restore tell while they run. Every method has an
// empty default, so an observer overrides only what it shows.
class BackupObserver {
 public:
  virtual ~BackupObserver() = default;
  // The status line changes (kBackingUpStatus, kRestoringStatus, ...).
  virtual void StatusChanged(const std::string& /*text*/) {}
  // Work on file number of count (1-based) is percent done (0..100).
  virtual void FileProgress(const std::string& /*name*/, int /*number*/,
                            int /*count*/, int /*percent*/) {}
};

struct BackupOutcome {
  bool ok = false;
  int file_count = 0;   // files copied into or out of the archive
  std::string message;  // completion text, or the failure
};

// Backs up every matching file of data_dir into destination/VkBackup.zip,
// replacing an archive there. On success the message is
// BackupCompleteText(n) and the destination is remembered in data_dir. On
// failure (no files, destination missing or not writable, a file
// unreadable, disk full, archive failing its check) the message says why
// and an archive that was there before is unchanged.
BackupOutcome RunBackup(const std::string& data_dir, const std::string& destination,
                        BackupObserver* observer);

// The refusal of a backup whose "LastCo.Dat" holds a company number that
// names no files (see IsValidCompanyNo).
std::string RestoredCompanyNoText(std::string_view company_no);

// Restores data_dir from source (a folder holding VkBackup.zip, or the
// archive itself), replacing files of the same names. Fails with
// kBackupNotFoundText when there is no archive; with the reason when the
// archive is damaged, holds an unsafe name, holds a "LastCo.Dat" whose
// company number is no company number (RestoredCompanyNoText), or a file
// cannot be written; after any failure every data file is as it was. On
// success the message is kRestoreCompleteText.
BackupOutcome RunRestore(const std::string& data_dir, const std::string& source,
                         BackupObserver* observer);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_BACKUP_H_
