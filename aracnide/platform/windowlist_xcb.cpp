#include "windowlist.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace aracnide {

namespace {

class NullLister : public WindowLister {
public:
    std::vector<WindowInfo> TopLevel() override { return {}; }
    std::vector<WindowInfo> Children(uint32_t) override { return {}; }
};

// Replies of xcb are malloc'ed: this frees them.
template <typename T>
struct Reply {
    explicit Reply(T* r) : p(r) {}
    ~Reply() { std::free(p); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* p;
};

class XcbLister : public WindowLister {
public:
    explicit XcbLister(xcb_connection_t* c) : c_(c)
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        clientList_ = Atom("_NET_CLIENT_LIST");
        wmName_ = Atom("_NET_WM_NAME");
        utf8_ = Atom("UTF8_STRING");
    }
    ~XcbLister() override { xcb_disconnect(c_); }
    XcbLister(const XcbLister&) = delete;
    XcbLister& operator=(const XcbLister&) = delete;

    std::vector<WindowInfo> TopLevel() override
    {
        // A window manager lists its managed windows; without one, the root's children stand for them.
        std::vector<uint32_t> ids;
        if (clientList_ != XCB_ATOM_NONE) {
            Reply r(xcb_get_property_reply(c_, xcb_get_property(c_, 0, root_, clientList_, XCB_ATOM_WINDOW, 0, 4096),
                                           nullptr));
            if (r.p && r.p->format == 32) {
                const auto* w = static_cast<const xcb_window_t*>(xcb_get_property_value(r.p));
                ids.assign(w, w + xcb_get_property_value_length(r.p) / 4);
            }
        }
        if (ids.empty())
            ids = TreeChildren(root_);
        return WithTitles(ids);
    }

    std::vector<WindowInfo> Children(uint32_t window) override { return WithTitles(TreeChildren(window)); }

private:
    xcb_atom_t Atom(const char* name)
    {
        Reply r(xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 1, std::strlen(name), name), nullptr));
        return r.p ? r.p->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    std::vector<uint32_t> TreeChildren(xcb_window_t w)
    {
        Reply r(xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr));
        if (!r.p)
            return {};
        const xcb_window_t* kids = xcb_query_tree_children(r.p);
        return {kids, kids + xcb_query_tree_children_length(r.p)};
    }

    std::string Property(xcb_window_t w, xcb_atom_t name, xcb_atom_t type)
    {
        if (name == XCB_ATOM_NONE)
            return {};
        Reply r(xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, name, type, 0, 256), nullptr));
        if (!r.p || r.p->format != 8)
            return {};
        return {static_cast<const char*>(xcb_get_property_value(r.p)),
                static_cast<size_t>(xcb_get_property_value_length(r.p))};
    }

    std::vector<WindowInfo> WithTitles(const std::vector<uint32_t>& ids)
    {
        std::vector<WindowInfo> out;
        out.reserve(ids.size());
        for (uint32_t id : ids) {
            std::string title = Property(id, wmName_, utf8_);
            if (title.empty())
                title = Property(id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);  // Latin-1
            out.push_back({id, std::move(title)});
        }
        return out;
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t clientList_, wmName_, utf8_;
};

}  // namespace

std::unique_ptr<WindowLister> OpenWindowLister()
{
    if (!std::getenv("DISPLAY"))
        return std::make_unique<NullLister>();
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return std::make_unique<NullLister>();
    }
    return std::make_unique<XcbLister>(c);
}

}  // namespace aracnide
