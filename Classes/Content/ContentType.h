#pragma once

// The kind of a piece of content, decided by the prefix of its file name. Values 0 to 4 index
// the per-type lists and counters of the catalog; ContentTypeNone marks a name that is not
// content.
enum ContentType : int {
  ContentTypeBackground = 0,  // "fon"
  ContentTypePhotoFrame = 1,  // "frame"
  ContentTypeClipart = 2,     // "clipart"
  ContentTypeFaceEffect = 3,  // "face"
  ContentTypeTBFrame = 4,     // "tbframe"
  ContentTypeNone = 5,
};

// How many real content types there are (the size of per-type arrays).
inline constexpr int kContentTypeCount = 5;
