#include "platform/ConsoleImages.h"

#include "platform/Glyphs.h"

#include <QMap>

namespace {

ImageList indexed(QSize size, const QMap<int, Glyph>& glyphs)
{
    ImageList list(size);
    const int last = glyphs.isEmpty() ? 0 : glyphs.lastKey();
    for (int index = 1; index <= last; ++index)
        list.Add(glyphs.contains(index) ? GlyphIcon(glyphs.value(index)) : QIcon());
    return list;
}

ImageList listImages(QSize size)
{
    return indexed(size, {
                             {ListImage::User, Glyphs::Person},
                             {ListImage::Group, Glyphs::People},
                             {ListImage::ServerLog, Glyphs::ServerLog},
                             {ListImage::Settings, Glyphs::Settings},
                             {ListImage::Connection, Glyphs::Connections},
                         });
}

} // namespace

ImageList TreeImages()
{
    return indexed(QSize(16, 16), {
                                      {TreeImage::Host, Glyphs::Host},
                                      {TreeImage::User, Glyphs::Person},
                                      {TreeImage::Group, Glyphs::People},
                                      {TreeImage::Logs, Glyphs::LogPage},
                                      {TreeImage::Server, Glyphs::Server},
                                      {TreeImage::Connections, Glyphs::Connections},
                                      {TreeImage::ServerLog, Glyphs::ServerLog},
                                      {TreeImage::UsersAndGroups, Glyphs::UsersAndGroups},
                                  });
}

ImageList LargeListImages()
{
    return listImages(QSize(32, 32));
}

ImageList SmallListImages()
{
    return listImages(QSize(16, 16));
}

ImageList ToolbarImages()
{
    return indexed(QSize(24, 24), {
                                      {ToolbarImage::Start, Glyphs::Start},
                                      {ToolbarImage::Stop, Glyphs::Stop},
                                      {ToolbarImage::Home, Glyphs::Home},
                                      {ToolbarImage::Properties, Glyphs::Properties},
                                      {ToolbarImage::AddUser, WithBadge(Glyphs::Person, Glyphs::Plus)},
                                      {ToolbarImage::EditUsers, WithBadge(Glyphs::Person, Glyphs::Pencil)},
                                      {ToolbarImage::EditGroups, WithBadge(Glyphs::People, Glyphs::Pencil)},
                                      {ToolbarImage::VirtualFolders, Glyphs::VirtualFolder},
                                      {ToolbarImage::Refresh, Glyphs::Refresh},
                                  });
}

QIcon ProgramIcon()
{
    return GlyphIcon(Glyphs::Tray);
}
