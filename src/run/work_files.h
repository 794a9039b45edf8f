// Every folder and work file a run uses in the program's folder, named once,
// the files with their layout in a line or two; command lines are built
// from these names (runctx::Cmd). Text files are lines ending in CR LF. A run
// removes them all (or the next run's leftover clean-up does), except
// dir_01.txt and what it publishes into htm_out.
#pragma once

#include <string>
#include <string_view>

namespace runctx {

// The folders of the program's folder. txt_in is the user's and htm_out is
// what the run publishes; the others are work folders.
/// The text files to index: UTF-8, names ending in ".txt".
inline constexpr std::string_view kTxtIn = "txt_in";
/// Copies of the text files of txt_in, renamed to names a page can take.
inline constexpr std::string_view kTxtWrk = "txt_wrk";
/// One page per text file, written by the conversion.
inline constexpr std::string_view kHtmWrk = "htm_wrk";
/// The pages to index: the pages of htm_wrk and the promotional page.
inline constexpr std::string_view kHtmIn = "htm_in";
/// A copy of htm_in kept in htm_ndx\htm_in until the clean-up.
inline constexpr std::string_view kHtmNdx = "htm_ndx";
inline constexpr std::string_view kHtmNdxIn = "htm_ndx\\htm_in";
/// The document base: the annotated pages and the index pages.
inline constexpr std::string_view kHtmOut = "htm_out";
/// Made by the user to ask for the trace file, which a run opens empty.
inline constexpr std::string_view kTraceFolder = "trace";
inline constexpr std::string_view kTraceFile = "trace\\file_trace.txt";

// Listings written by "dir" command lines: one name per line ("dir /b"), or
// the long form with its header and summary lines.
/// Scratch listing of the folder checks and deletions; then the page order:
/// "f_promote.htm", then the names of htm_in sorted, in lower case.
inline constexpr std::string_view kDir01 = "dir_01.txt";
/// The bare names of htm_in; later the numbered pages page_<n>.htm.
inline constexpr std::string_view kDir02 = "dir_02.txt";
/// dir_02.txt sorted by the "sort" command (names compared case-folded).
inline constexpr std::string_view kDir03 = "dir_03.txt";
/// The folders of the program's folder, bare or long form, for detection.
inline constexpr std::string_view kDirCurrent = "dir_cur.txt";
/// The text files of txt_in, bare names: .txt before, .list after the
/// work folders are made.
inline constexpr std::string_view kTxtFileText = "txt_file.txt";
inline constexpr std::string_view kTxtFileList = "txt_file.list";
/// The text files copied into txt_wrk, bare names, after their renaming.
inline constexpr std::string_view kTxtWorkList = "txt_wrk.list";
/// Output of the tool checks at start-up: a listing, then the lines a
/// find, findstr or sort made of it.
inline constexpr std::string_view kCheck01 = "check_01.txt";
inline constexpr std::string_view kCheck02 = "check_02.txt";
/// The pattern that matches both, for their deletion.
inline constexpr std::string_view kCheckFiles = "check_*.txt";
/// The long listing written into a work folder (or htm_out) just before
/// its files are deleted: "FOLDER\f_01.txt"; it goes with them.
inline constexpr std::string_view kFolderListing = "f_01.txt";
/// Command output nobody reads (a copy's "1 file(s) copied.").
inline constexpr std::string_view kOutNullList = "out_null.list";
inline constexpr std::string_view kOutNullText = "out_null.txt";

/// The settings catalogue: 45 lines in four sections, each opened by a
/// header line; shown on the settings screen.
inline constexpr std::string_view kPublisherPara = "publisher_para.txt";
/// The promotional page: the promo block in a page, indexed as page 1.
inline constexpr std::string_view kPromotionalPage = "f_promote.htm";

/// The numbered pages of the page set: "page_" + the number zero-padded to
/// the page number width + ".htm"; cleaned, then annotated in place.
inline std::string PageFile(const std::string& padded_number) {
  return "page_" + padded_number + ".htm";
}
/// The pattern that lists them.
inline constexpr std::string_view kNumberedPages = "page_*.htm";

/// The work folder of the word data and its binary files of fixed-size
/// records (runctx::Occurrence, runctx::PageWord, runctx::PageLast,
/// runctx::NextPage in word_data.h), page by page in document order, and
/// runctx::GroupCount, group by group.
inline constexpr std::string_view kWordFolder = "wrd_24";
inline constexpr std::string_view kOccurrenceFile = "wrd_24\\occurrences.bin";
inline constexpr std::string_view kPageWordFile = "wrd_24\\page_words.bin";
inline constexpr std::string_view kPageLastFile = "wrd_24\\page_lasts.bin";
/// Each page word's next page holding its word (runctx::NextPage).
inline constexpr std::string_view kNextPageFile = "wrd_24\\next_pages.bin";
inline constexpr std::string_view kGroupCountFile = "wrd_24\\group_counts.bin";
/// The same records, each group's in word id order: the main index merges
/// the groups from it (runctx::GroupLinks).
inline constexpr std::string_view kGroupCountByIdFile = "wrd_24\\group_counts_by_id.bin";
/// One group's page words, window by window, as the word index sorts them
/// (runctx::GroupPageWords); written and read during the group pass.
inline constexpr std::string_view kPageWordSpillFile = "wrd_24\\page_words_by_window.bin";

/// The work folders a run makes in the program's folder (htm_ndx holds a
/// folder htm_in of its own); the run removes them at its end.
inline constexpr std::string_view kWorkFolders[] = {kHtmIn, kHtmNdx, kHtmWrk, kTxtWrk, kWordFolder};

// When the work files go, by the last phase that reads them (the plan is
// carried out by run/clean_up.h). Removing a file whose data has reached
// the disk waits for the disk to let its blocks go: what is read for the
// last time early goes early, while its data is mostly only in memory.
/// Read for the last time by the page set: the start-up checks, the
/// listings and settings of the phases before it, and the promotional page
/// (its copy in htm_in was numbered).
inline constexpr std::string_view kFilesReadUpToPageSet[] = {
    kPromotionalPage, kDir03,   kDirCurrent, kTxtFileText,  kTxtFileList,
    kTxtWorkList,     kCheck01, kCheck02,    kPublisherPara};
/// The work folders whose files the page set reads for the last time: the
/// copies of the texts and their converted pages.
inline constexpr std::string_view kFoldersReadUpToPageSet[] = {kHtmIn, kHtmWrk, kHtmNdxIn, kTxtWrk};
/// The binary word files read for the last time by the group pass.
inline constexpr std::string_view kWordFilesReadUpToGroupPass[] = {
    kOccurrenceFile, kPageWordFile, kPageLastFile, kNextPageFile, kPageWordSpillFile};
/// The binary word files read for the last time by the main index.
inline constexpr std::string_view kWordFilesReadUpToMainIndex[] = {kGroupCountFile,
                                                                   kGroupCountByIdFile};
/// The order in which the work folders go at the end of the run.
inline constexpr std::string_view kFoldersRemovedAtEnd[] = {kHtmIn,  kHtmNdxIn, kHtmNdx,
                                                            kHtmWrk, kTxtWrk,   kWordFolder};
/// One empty file per page group g (1..G), copied into wrd_24 and back.
inline std::string GroupWordFile(int group) { return "wrd_24_" + std::to_string(group) + ".txt"; }
/// The pattern that lists them (in the program's folder or in wrd_24).
inline constexpr std::string_view kGroupWordFiles = "wrd_24*.txt";

/// The output pages, published into htm_out: the word index page and the
/// search page of each group, the main index and the contents page.
inline std::string WordIndexPage(int group) { return "i_" + std::to_string(group) + ".htm"; }
inline std::string SearchPage(int group) { return "s_" + std::to_string(group) + ".htm"; }
/// The patterns that list the word index pages and the search pages.
inline constexpr std::string_view kWordIndexPages = "i_*.htm";
inline constexpr std::string_view kSearchPages = "s_*.htm";
inline constexpr std::string_view kMainIndex = "index.htm";
inline constexpr std::string_view kContentsPage = "files_list.htm";

}  // namespace runctx
