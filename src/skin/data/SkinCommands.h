// The skin commands, each declared once with what it carries and what it
// answers. A command travels as the message SM_ALPHACMD (platform/Control.h):
// its number in the high word of WParam, a small argument in the low word,
// what it carries in LParam and its answer in Result.
//
// Senders write   SendSkinCommand<SkinCmdGetBgInfo>(parent, &request);
// handlers write  case SkinCmdGetBgInfo::Number:
//                     Fill(*SkinCmdGetBgInfo::ArgumentOf(message));
// so no caller casts a message parameter, and searching for a command's
// name finds everyone who sends or answers it.
#pragma once

#include "platform/Control.h"
#include "skin/data/SkinColors.h"

#include <cstdint>
#include <type_traits>

namespace skin {

class TsSkinManager;
struct BackgroundRequest;

// What a command without an argument or without an answer carries.
struct Nothing {};

namespace detail {

template <typename T> intptr_t ToParam(T value) {
    if constexpr (std::is_same_v<T, Nothing>)
        return 0;
    else if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<intptr_t>(value);
    else if constexpr (std::is_same_v<T, RgbColor>)
        return intptr_t(Value(value));
    else
        return intptr_t(value);
}

template <typename T> T FromParam(intptr_t param) {
    if constexpr (std::is_same_v<T, Nothing>)
        return {};
    else if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<T>(param);
    else if constexpr (std::is_same_v<T, bool>)
        return param != 0;
    else if constexpr (std::is_same_v<T, RgbColor>)
        return RgbColor{uint32_t(param) & 0xFFFFFF};
    else
        return T(param);
}

} // namespace detail

// A skin command: its number, what LParam carries and what Result answers.
template <uint16_t N, typename Carries = Nothing, typename Answers = Nothing> struct SkinCommand {
    static constexpr uint16_t Number = N;
    using Argument = Carries;
    using Answer = Answers;

    static bool Is(const platform::Message& m) {
        return m.Msg == platform::SM_ALPHACMD && platform::AlphaCommand(m.WParam) == N;
    }
    static Carries ArgumentOf(const platform::Message& m) {
        return detail::FromParam<Carries>(m.LParam);
    }
    static void Reply(platform::Message& m, Answers answer) { m.Result = detail::ToParam(answer); }
    static platform::Message Make(Carries argument = {}, uint16_t small = 0) {
        return {platform::SM_ALPHACMD, platform::MakeAlphaWParam(N, small),
                detail::ToParam(argument), 0};
    }
};

// The manager's announcements; each carries the manager that sends it.
struct SkinCmdNewSkin : SkinCommand<1, const TsSkinManager*> {};
struct SkinCmdRemoveSkin : SkinCommand<2, const TsSkinManager*> {};
struct SkinCmdRefresh : SkinCommand<3, const TsSkinManager*> {};
// Whether the control takes part in skinning (answers 1).
struct SkinCmdIsSkinned : SkinCommand<7, const TsSkinManager*, bool> {};
// A frame's and a button's cue to build their pictures ahead of a refresh.
struct SkinCmdPrepare : SkinCommand<16, const TsSkinManager*> {};
// The active control changed; each carries the manager.
struct SkinCmdFocusGot : SkinCommand<29, const TsSkinManager*> {};
struct SkinCmdFocusLost : SkinCommand<30, const TsSkinManager*> {};

// Between controls and their parents.
// A parent's children may paint again (after the parent's picture is ready).
struct SkinCmdResumePaint : SkinCommand<6> {};
// Lock (small argument 1) or unlock (0) the control's painting.
struct SkinCmdSetPaintLock : SkinCommand<8> {};
// Whether the control's background is not ready for its children yet.
struct SkinCmdIsBgNotReady : SkinCommand<10, Nothing, bool> {};
struct SkinCmdIsClipped : SkinCommand<11, Nothing, bool> {};
// Repaint when bound to the named section.
struct SkinCmdRepaintSection : SkinCommand<13, const QString*> {};
// Bind to the named section (null: keep the section).
struct SkinCmdSetSection : SkinCommand<15, const QString*> {};
struct SkinCmdInvalidateCache : SkinCommand<17> {};
// How far the control lets its parent show through (0: not at all).
struct SkinCmdIsTransparent : SkinCommand<19, Nothing, int> {};
// The parent's picture changed: repaint (small argument 1: at once).
struct SkinCmdParentBgChanged : SkinCommand<20> {};
// The colour the control shows its children.
struct SkinCmdGetBgColor : SkinCommand<21, Nothing, RgbColor> {};
// Whether the parent clips the control (small argument 1).
struct SkinCmdSetClipped : SkinCommand<22> {};
// Build the cached picture now.
struct SkinCmdPrepareCache : SkinCommand<23> {};
// A control was made on this form.
struct SkinCmdControlCreated : SkinCommand<25, platform::Control*> {};
// The section the control is bound to (written to the int carried).
struct SkinCmdGetSectionIndex : SkinCommand<26, int*> {};
struct SkinCmdLockNotify : SkinCommand<31> {};
struct SkinCmdUnlockNotify : SkinCommand<32> {};
// The background behind a child: the parent fills the request it carries.
// Answered by the frame (TsSkinProvider), a panel (TsPanel) and every
// control's skin data (TsCommonData::FillBackgroundInfo).
struct SkinCmdGetBgInfo : SkinCommand<34, BackgroundRequest*> {};
// How a disabled text box is drawn (written to the byte carried).
struct SkinCmdGetDisabledKind : SkinCommand<35, uint8_t*> {};
// Asks a control's state flags; carrying 1, tells a container to work out
// again whether its background is plain and to tell its children.
struct SkinCmdChildState : SkinCommand<36, int, int> {};

// Sends a skin command to a control and returns its answer (the answer's
// empty value when there is no control).
template <class Command>
typename Command::Answer SendSkinCommand(platform::Control* to,
                                         typename Command::Argument argument = {},
                                         uint16_t small = 0) {
    platform::Message m = Command::Make(argument, small);
    if (to)
        to->WndProc(m);
    return detail::FromParam<typename Command::Answer>(m.Result);
}

// Whether the control takes part in skinning.
inline bool AnswersSkinCommands(platform::Control* control) {
    return SendSkinCommand<SkinCmdIsSkinned>(control);
}

} // namespace skin
