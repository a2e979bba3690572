#pragma once
// The window description asks for the face "宋体" (SimSun). Where it is not installed, a Song-style
// CJK face of similar metrics stands in for it, so that the Chinese never falls back to a sans face.

namespace vcl {

// The faces tried, in order, for "宋体" and "SimSun"; SimSun itself comes first.
inline constexpr const char* songFaceSubstitutes[] = {
    "SimSun", "NSimSun", "宋体", "AR PL UMing CN", "AR PL UMing TW", "AR PL SungtiL GB",
    "Noto Serif CJK SC", "Source Han Serif SC", "Noto Serif CJK",
};

// Registers the substitutes with Qt; call once before the first widget is made. Calling it again is harmless.
void installFontSubstitutes();

}  // namespace vcl
