// The name of every setting, one constant each. Code reads and writes
// settings through these, never through spelled-out names: a mistyped
// constant does not compile, where a mistyped name would silently read 0.
// The table of defaults (settings_table.cpp) is built from the same
// constants, and tests/settings/check_setting_names.py fails on any quoted
// "m_..." name in the sources that is not one of them.
#pragma once

namespace folios::setting_name {

// Below the product key.
inline constexpr char kOpenfile[] = "m_openfile";
inline constexpr char kShowfiledlg[] = "m_showfiledlg";
inline constexpr char kFilefilter[] = "m_filefilter";
inline constexpr char kFileLocation[] = "m_file_location";
inline constexpr char kBOrientation[] = "m_b_orientation";
inline constexpr char kDir[] = "m_dir";
inline constexpr char kFindSubfolders[] = "m_find_subfolders";
inline constexpr char kCpp[] = "m_cpp";
inline constexpr char kH[] = "m_h";
inline constexpr char kJava[] = "m_java";
inline constexpr char kFrm[] = "m_frm";
inline constexpr char kBas[] = "m_bas";
inline constexpr char kCls[] = "m_cls";
inline constexpr char kCfiles[] = "m_cfiles";
inline constexpr char kJavafiles[] = "m_javafiles";
inline constexpr char kVbfiles[] = "m_vbfiles";
inline constexpr char kKwfile[] = "kwfile";
inline constexpr char kFormat[] = "m_format";
inline constexpr char kLinesep[] = "m_linesep";
inline constexpr char kLinebreaks[] = "m_linebreaks";
inline constexpr char kUselinenumbers[] = "m_uselinenumbers";
inline constexpr char kLinecountermode[] = "m_linecountermode";
inline constexpr char kLinecountermode2[] = "m_linecountermode2";
inline constexpr char kStartat[] = "m_startat";
inline constexpr char kIncrementby[] = "m_incrementby";
inline constexpr char kColnumber[] = "m_colnumber";
inline constexpr char kColseparator[] = "m_colseparator";
inline constexpr char kPagebreak[] = "m_pagebreak";
inline constexpr char kRemoveNoiseChars[] = "m_remove_noise_chars";
inline constexpr char kUseAdvancedOptions[] = "m_use_advanced_options";
inline constexpr char kOutputType[] = "m_output_type";
inline constexpr char kEmptyLines[] = "m_empty_lines";
inline constexpr char kIndentWithTabs[] = "m_indent_with_tabs";
inline constexpr char kSpacesToIndent[] = "m_spaces_to_indent";
inline constexpr char kRemoveComments[] = "m_remove_comments";
inline constexpr char kCWithCode[] = "m_c_with_code";
inline constexpr char kCWithoutCode[] = "m_c_without_code";
inline constexpr char kBraceStyle[] = "m_brace_style";
inline constexpr char kBackupSuffix[] = "m_backup_suffix";
inline constexpr char kCuddleElse[] = "m_cuddle_else";
inline constexpr char kFunctionBrace[] = "m_function_brace";
inline constexpr char kContinuation[] = "m_continuation";
inline constexpr char kIndentAccess[] = "m_indent_access";
inline constexpr char kIndentNamespace[] = "m_indent_namespace";
inline constexpr char kIndentCase[] = "m_indent_case";
inline constexpr char kKeepTrailingComments[] = "m_keep_trailing_comments";
inline constexpr char kCommentsAtCodeIndent[] = "m_comments_at_code_indent";
inline constexpr char kDoctype[] = "m_doctype";
inline constexpr char kSortTopics[] = "m_sort_topics";
inline constexpr char kCreateTopicLog[] = "m_create_topic_log";
inline constexpr char kUseExtractionExpression[] = "m_use_extraction_expression";
inline constexpr char kExtractionExpression[] = "m_extraction_expression";

// Below "\doc": fonts and colours of listing text.
inline constexpr char kHeaderBold[] = "m_header_bold";
inline constexpr char kHeaderItalic[] = "m_header_italic";
inline constexpr char kHeaderUnderline[] = "m_header_underline";
inline constexpr char kHeaderFontsize[] = "m_header_fontsize";
inline constexpr char kHeaderForecolor[] = "m_header_forecolor";
inline constexpr char kHeaderBackColor[] = "m_header_back_color";
inline constexpr char kCodeBold[] = "m_code_bold";
inline constexpr char kCodeItalic[] = "m_code_italic";
inline constexpr char kCodeUnderline[] = "m_code_underline";
inline constexpr char kCodeFontsize[] = "m_code_fontsize";
inline constexpr char kCodeForecolor[] = "m_code_forecolor";
inline constexpr char kCodeBackColor[] = "m_code_back_color";
inline constexpr char kCommentBold[] = "m_comment_bold";
inline constexpr char kCommentItalic[] = "m_comment_italic";
inline constexpr char kCommentUnderline[] = "m_comment_underline";
inline constexpr char kCommentFontsize[] = "m_comment_fontsize";
inline constexpr char kCommentForecolor[] = "m_comment_forecolor";
inline constexpr char kCommentBackColor[] = "m_comment_back_color";

// Below "\template_kw": the style offered for new keywords.
inline constexpr char kBold[] = "m_bold";
inline constexpr char kItalic[] = "m_italic";
inline constexpr char kUnderline[] = "m_underline";
inline constexpr char kStrcolor[] = "m_strcolor";
inline constexpr char kStrbackcolor[] = "m_strbackcolor";

// The names of one section of the Fonts page ("header", "code", "comment").
struct StyleSettingNames {
  const char* bold;
  const char* italic;
  const char* underline;
  const char* fontsize;
  const char* forecolor;
  const char* back_color;
};

inline constexpr StyleSettingNames kHeaderStyle{kHeaderBold,     kHeaderItalic,    kHeaderUnderline,
                                                kHeaderFontsize, kHeaderForecolor, kHeaderBackColor};
inline constexpr StyleSettingNames kCodeStyle{kCodeBold,     kCodeItalic,    kCodeUnderline,
                                              kCodeFontsize, kCodeForecolor, kCodeBackColor};
inline constexpr StyleSettingNames kCommentStyle{kCommentBold,     kCommentItalic,    kCommentUnderline,
                                                 kCommentFontsize, kCommentForecolor, kCommentBackColor};

}  // namespace folios::setting_name
