-- The pandoc filter of the printable handouts (docs/lessons/handout.sh): it makes
-- the lesson sheet, docs/lessons.md, into the teacher's copy
-- (-M handout=teacher) or the students' worksheet (-M handout=worksheet).
--
-- - <div class="teacher"> and <div class="answer"> print only in the
--   teacher's copy, <div class="student"> only in the worksheet. An
--   answer's picture goes first, to stand beside its text.
-- - A ```matrix (or ```symbols) block becomes a table; a ```product block
--   (one term a line, "NAME = ROW / ROW / ROW", between lines holding an
--   operator) a row of captioned tables.
-- - A ```blank block (names, one a line) becomes empty 3x3 tables to fill
--   in.
-- - A ```frames block (one frame a line: "X0 X1 Y0 Y1 CAPTION", the axes
--   from X0 to X1 and from Y0 to Y1) becomes, for each line, a picture in frames/ of the
--   axes with labelled ticks, a light grid and the figure where it starts,
--   in grey and dashed; then one table of the key points, a column to fill
--   in for each frame.
-- - A ```boxes block (questions, one a line) becomes a table with a cell
--   to answer each in.
-- - A ```keypoints block becomes the figure with its key points labelled,
--   and the table of their coordinates.
-- - An ```answer-key block becomes the table of every exercise's matrix, as
--   docs/lessons/exercises.txt types it (-M exercises=FILE), its determinant
--   and where the key points go.
-- - A fenced block of any other kind stops pandoc: it would print as text.
-- - A <div class="working" lines="N"> becomes N ruled lines to work on.
-- - A table's first column heads its rows.
-- - Exercises ("## N. ...") start a page, so that one can be copied for a
--   class; so does a heading of class "page".
-- The figure's strokes come from the program's own drawing (-M strokes=FILE).
-- A picture that is not there or a link to no heading stops pandoc with an
-- error, so that its exit status says whether the handout is whole.

local mode, strokes, exercises_list, key_points_list

local function escape(text)
  return (text:gsub("&", "&amp;"):gsub("<", "&lt;"):gsub(">", "&gt;"):gsub('"', "&quot;"))
end

-- A number as printed: a true minus sign.
local function number(text)
  return (tostring(text):gsub("^%-", "−"))
end

local function fmt(value)
  return number(string.format("%g", value))
end

-- A cell to fill in: a no-break space, so that the tagged PDF keeps it as a
-- cell that a screen reader announces, empty.
local FILL = '<td class="fill">&#160;</td>'

local function html(text)
  return pandoc.RawBlock("html", text)
end

local function words(line)
  local result = {}
  for word in line:gmatch("%S+") do
    result[#result + 1] = word
  end
  return result
end

-- A 3x3 table; rows of texts, or nil for empty cells. The caption names it.
local function matrix_table(rows, caption)
  local out = { '<table class="matrix">' }
  if caption then
    out[#out + 1] = "<caption>" .. escape(caption) .. "</caption>"
  end
  for r = 1, 3 do
    out[#out + 1] = "<tr>"
    for c = 1, 3 do
      out[#out + 1] = rows and "<td>" .. escape(number(rows[r][c])) .. "</td>" or FILL
    end
    out[#out + 1] = "</tr>"
  end
  out[#out + 1] = "</table>"
  return table.concat(out)
end

local function matrix_rows(text)
  local rows = {}
  for line in text:gmatch("[^\n]+") do
    local cells = words(line:gsub("[|%[%]]", " "))
    if #cells > 0 then
      rows[#rows + 1] = cells
    end
  end
  return rows
end

-- "T = 1 0 20 / 0 1 10 / 0 0 1" lines and operator lines.
local function product(text)
  local out = { '<div class="product">' }
  for line in text:gmatch("[^\n]+") do
    local name, values = line:match("^%s*(.-)%s*=%s*(.+)$")
    if name and name ~= "" then
      local rows = {}
      for row in values:gmatch("[^/]+") do
        rows[#rows + 1] = words(row)
      end
      out[#out + 1] = matrix_table(rows, name)
    elseif line:match("%S") then
      out[#out + 1] = '<span class="operator">' .. escape(line:match("^%s*(.-)%s*$")) .. "</span>"
    end
  end
  out[#out + 1] = "</div>"
  return html(table.concat(out))
end

local function blank(text)
  local out = { '<div class="product">' }
  for name in text:gmatch("[^\n]+") do
    name = name:match("^%s*(.-)%s*$")
    if name == "·" or name == "=" then
      out[#out + 1] = '<span class="operator">' .. name .. "</span>"
    elseif name ~= "" then
      out[#out + 1] = matrix_table(nil, name)
    end
  end
  out[#out + 1] = "</div>"
  return html(table.concat(out))
end

-- The figure's strokes as the program draws them: docs/lessons/handout.sh prints
-- them with ostrivane_figure_strokes, which runs drawFigure() itself
-- (-M strokes=FILE, "x1 y1 x2 y2" a line); strokes that go on from where the
-- last one ended are joined into one line.
-- The lines of a text file, read to its end (io.lines closes it there);
-- `what` names it when it cannot be read.
local function lines_of(path, what)
  local file = io.open(path, "r")
  if not file then
    error("cannot read " .. what .. ", " .. path)
  end
  file:close()
  return io.lines(path)
end

-- The key points, A to E, in the figure's own coordinates (-M keypoints=FILE,
-- "LETTER X Y WHERE" a line): { letter, where, x, y }.
local key_points_read
local function key_points()
  if not key_points_read then
    key_points_read = {}
    for line in lines_of(key_points_list, "the key points") do
      local letter, x, y, where = line:match("^(%u) (%S+) (%S+) (.+)$")
      if letter then
        key_points_read[#key_points_read + 1] = { letter, where, tonumber(x), tonumber(y) }
      end
    end
  end
  return key_points_read
end

local figure
local function figure_lines()
  if figure then
    return figure
  end
  figure = {}
  for line in lines_of(strokes, "the figure's strokes") do
    local w = words(line)
    if #w == 4 then
      local from, to = { tonumber(w[1]), tonumber(w[2]) }, { tonumber(w[3]), tonumber(w[4]) }
      local last = figure[#figure]
      local tail = last and last[#last]
      if tail and tail[1] == from[1] and tail[2] == from[2] then
        last[#last + 1] = to
      else
        figure[#figure + 1] = { from, to }
      end
    end
  end
  if #figure == 0 then
    error("no strokes in " .. strokes)
  end
  return figure
end

local frame_count = 0
local colour = {
  axis = "#1A2A6C", -- 13:1 against white
  grid = "#D0D0D0",
  start = "#6E6E6E", -- 5:1 against white
  label = "#000000",
}

-- Writes frames/NAME.svg: the world from box.x0 to box.x1 across and from
-- box.y0 to box.y1 up, `unit` millimetres a unit, with 4 mm round it for
-- the tick labels; the figure grey and dashed where it starts, or black and
-- solid with `extra`, which may add more (extra(out, unit), in world units,
-- y up). Returns the file's path and its width in millimetres.
local function write_frame(name, box, unit, extra)
  local x0, x1, y0, y1 = box.x0, box.x1, box.y0, box.y1
  local margin = 3 / unit
  local width, height = x1 - x0 + 2 * margin, y1 - y0 + 2 * margin
  local mm = function(v) return string.format("%.3f", v / unit) end
  local out = {
    string.format('<svg xmlns="http://www.w3.org/2000/svg" width="%.2fmm" height="%.2fmm" ' ..
      'viewBox="%g %g %g %g" font-family="DejaVu Sans">', width * unit, height * unit, x0 - margin, -y1 - margin,
      width, height),
    string.format('<rect x="%g" y="%g" width="%g" height="%g" fill="#FFFFFF"/>', x0 - margin, -y1 - margin, width,
      height),
    '<g transform="scale(1,-1)">',
  }
  local grid = math.max(x1 - x0, y1 - y0) <= 40 and 1 or 5
  local function line(class, ax, ay, bx, by, stroke, thickness)
    out[#out + 1] = string.format('<line class="%s" x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%s"/>',
      class, ax, ay, bx, by, stroke, mm(thickness))
  end
  for v = math.ceil(x0 / grid) * grid, x1, grid do
    line("grid", v, y0, v, y1, colour.grid, 0.15)
  end
  for v = math.ceil(y0 / grid) * grid, y1, grid do
    line("grid", x0, v, x1, v, colour.grid, 0.15)
  end
  line("axis", x0, 0, x1, 0, colour.axis, 0.5)
  line("axis", 0, y0, 0, y1, colour.axis, 0.5)
  local tick = 1.2 / unit
  for v = math.ceil(x0 / 5) * 5, x1, 5 do
    if v ~= 0 then line("tick", v, -tick, v, tick, colour.axis, 0.4) end
  end
  for v = math.ceil(y0 / 5) * 5, y1, 5 do
    if v ~= 0 then line("tick", -tick, v, tick, v, colour.axis, 0.4) end
  end
  for _, points in ipairs(figure_lines()) do
    local coords = {}
    for _, p in ipairs(points) do
      coords[#coords + 1] = string.format("%g,%g", p[1], p[2])
    end
    local style = extra and string.format('stroke="#000000" stroke-width="%s"', mm(0.6)) or
      string.format('stroke="%s" stroke-width="%s" stroke-dasharray="%s %s"', colour.start, mm(0.45), mm(1.2), mm(0.6))
    out[#out + 1] = string.format('<polyline class="start" points="%s" fill="none" %s stroke-linejoin="round"/>',
      table.concat(coords, " "), style)
  end
  if extra then
    extra(out, unit)
  end
  out[#out + 1] = "</g>"
  -- Tick labels every 5 units, upright, outside the flip: at 1.5 mm a unit
  -- or more, 7.5 mm apart, wider than "−25" at 2.8 mm.
  local font = 2.8 / unit
  for v = math.ceil(x0 / 5) * 5, x1, 5 do
    if v ~= 0 then
      out[#out + 1] = string.format('<text class="tick-label" x="%g" y="%g" font-size="%s" text-anchor="middle" ' ..
        'fill="%s">%s</text>', v, tick + font, mm(2.8), colour.label, fmt(v))
    end
  end
  for v = math.ceil(y0 / 5) * 5, y1, 5 do
    if v ~= 0 then
      out[#out + 1] = string.format('<text class="tick-label" x="%g" y="%g" font-size="%s" text-anchor="end" ' ..
        'fill="%s">%s</text>', -tick - font * 0.3, -v + font * 0.35, mm(2.8), colour.label, fmt(v))
    end
  end
  out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" fill="%s" font-style="italic">x</text>',
    x1 + margin * 0.15, -font * 0.4, mm(3.2), colour.label)
  out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" fill="%s" font-style="italic">y</text>',
    font * 0.4, -y1 - margin * 0.2, mm(3.2), colour.label)
  out[#out + 1] = "</svg>\n"
  os.execute("mkdir -p frames")
  local file = assert(io.open("frames/" .. name .. ".svg", "w"))
  file:write(table.concat(out, "\n"))
  file:close()
  return "frames/" .. name .. ".svg", width * unit
end

local function figure_html(src, alt, caption, class, width)
  local size = width and string.format(' style="width: %.1fmm"', width) or ""
  return string.format('<figure class="%s"%s><img src="%s" alt="%s"%s/><figcaption>%s</figcaption></figure>',
    class, size, src, escape(alt), size, escape(caption))
end

local function fmt_point(p)
  return "(" .. fmt(p[3]) .. ", " .. fmt(p[4]) .. ")"
end

local function point_rows(columns)
  local out = {}
  for _, p in ipairs(key_points()) do
    local cells = { "<th scope=\"row\">" .. p[1] .. "</th>", "<td>(" .. fmt(p[3]) .. ", " .. fmt(p[4]) .. ")</td>" }
    for _ = 1, columns do
      cells[#cells + 1] = FILL
    end
    out[#out + 1] = "<tr>" .. table.concat(cells) .. "</tr>"
  end
  return table.concat(out)
end

-- "X0 X1 Y0 Y1 CAPTION" lines: the frames, each from X0 to X1 across and
-- Y0 to Y1 up, and the table to fill in. Up to two frames stand side by
-- side at up to 2 mm a unit, one alone up to 3 mm; more go two to a row,
-- smaller, but never under 1.5 mm a unit.
local function frames(text, exercise)
  local lines = {}
  for line in text:gmatch("[^\n]+") do
    local x0, x1, y0, y1, caption = line:match("^%s*(%-?%d+)%s+(%-?%d+)%s+(%-?%d+)%s+(%-?%d+)%s+(.-)%s*$")
    if not x0 then
      error("exercise " .. exercise .. ": a frame is \"X0 X1 Y0 Y1 CAPTION\", not \"" .. line .. "\"")
    end
    lines[#lines + 1] = { box = { x0 = tonumber(x0), x1 = tonumber(x1), y0 = tonumber(y0), y1 = tonumber(y1) },
      caption = caption }
  end
  local out = { '<div class="prediction">' }
  local heads = {}
  for index, f in ipairs(lines) do
    local box = f.box
    local wide, tall, most = 80, 60, 2 -- four frames, two to a row
    if #lines == 1 then
      wide, tall, most = 70, 95, 3 -- one frame, the table beside it
    elseif #lines == 2 then
      tall = 66
    end
    local unit = math.min(most, wide / (box.x1 - box.x0), tall / (box.y1 - box.y0))
    if unit < 1.5 then
      error(string.format("exercise %s: frame %d spans too much to print at 1.5 mm a unit", exercise, index))
    end
    frame_count = frame_count + 1
    local label = exercise .. string.char(96 + index)
    local src, width = write_frame(string.format("frame-%02d-%s", frame_count, label), box, unit)
    heads[#heads + 1] = f.caption
    out[#out + 1] = figure_html(src, string.format("Frame %s, for your sketch: %s. Empty axes with x from %s to " ..
      "%s and y from %s to %s, a tick every 5 units, and the figure where it starts, grey and dashed.", label,
      f.caption, fmt(box.x0), fmt(box.x1), fmt(box.y0), fmt(box.y1)), string.format("Frame %s: %s.", label,
      f.caption), "frame", width)
  end
  local head = { '<table class="points"><caption>Where the key points go (write x′, y′)</caption><thead><tr>' ..
    '<th scope="col">Point</th><th scope="col">Start</th>' }
  for _, h in ipairs(heads) do
    head[#head + 1] = '<th scope="col">' .. escape(h) .. "</th>"
  end
  head[#head + 1] = "</tr></thead><tbody>" .. point_rows(#heads) .. "</tbody></table>"
  out[#out + 1] = table.concat(head) .. "</div>"
  return html(table.concat(out))
end

-- The figure large, its key points marked and lettered, and their table.
local function keypoints()
  local src, width = write_frame("key-points", { x0 = -2, x1 = 11, y0 = -2, y1 = 11 }, 3.6, function(out, unit)
    for _, p in ipairs(key_points()) do
      out[#out + 1] = string.format('<circle cx="%g" cy="%g" r="%s" fill="#000000"/>', p[3], p[4], 0.9 / unit)
      out[#out + 1] = string.format('<text x="%g" y="%g" font-size="%s" font-weight="bold" transform="scale(1,-1)">' ..
        '%s</text>', p[3] + 0.35, -(p[4] + 0.35), 4 / unit, p[1])
    end
  end)
  local rows = {}
  for _, p in ipairs(key_points()) do
    rows[#rows + 1] = string.format('<tr><th scope="row">%s</th><td>%s</td><td>(%s, %s)</td></tr>', p[1], p[2],
      fmt(p[3]), fmt(p[4]))
  end
  return html(figure_html(src, "The stick figure where it starts, standing on the x axis just right of the " ..
      "origin, with its key points marked: A (0, 0), B (6, 0), C (3, 3), D (3, 10) and E (4.5, 7.5).",
      "The figure where it starts, with its key points A to E.", "key", width) ..
    '<table class="points"><caption>The key points</caption><thead><tr><th scope="col">Point</th>' ..
    '<th scope="col">Where</th><th scope="col">(x, y)</th></tr></thead><tbody>' .. table.concat(rows) ..
    "</tbody></table>")
end

-- A number of the answer key: at most two decimals, or as many as asked.
local function rounded(value, decimals)
  local text = string.format("%." .. (decimals or 2) .. "f", value):gsub("0+$", ""):gsub("%.$", "")
  if text == "-0" then
    text = "0"
  end
  return number(text)
end

-- The exercise list (-M exercises=FILE), by picture name: each exercise's
-- matrix once its entries are typed over the identity, as numbers (m) and
-- as typed (typed), rows a, b, tx and c, d, ty.
local list
local function exercise_matrix(name)
  if not list then
    list = {}
    for line in lines_of(exercises_list, "the exercise list") do
      local w = words(line)
      if #w > 0 and w[1]:sub(1, 1) ~= "#" then
        local m = { { 1, 0, 0 }, { 0, 1, 0 } }
        local typed = { { "1", "0", "0" }, { "0", "1", "0" } }
        for i = 2, #w do
          local column, row, text = w[i]:match("^(%d),(%d)=(.+)$")
          if column then
            m[tonumber(row) + 1][tonumber(column) + 1] = tonumber(text)
            typed[tonumber(row) + 1][tonumber(column) + 1] = number(text)
          end
        end
        list[w[1]] = { m = m, typed = typed, follows = w[2] == "follows-on" }
      end
    end
  end
  return list[name]
end

-- The answer key: for each exercise, numbered as in the sheet, the matrix
-- its list entries give, its determinant and where the key points go.
local function answer_key(numbered)
  local rows = {}
  for n, name in ipairs(numbered) do
    local entry = exercise_matrix(name)
    if not entry then
      error("exercise " .. n .. " shows images/lessons/" .. name .. ".png, which the exercise list lacks")
    end
    local m, typed = entry.m, entry.typed
    local cells = { tostring(n), table.concat(typed[1], ", "), table.concat(typed[2], ", "),
      rounded(m[1][1] * m[2][2] - m[1][2] * m[2][1], 6) }
    for _, p in ipairs(key_points()) do
      local x, y = p[3], p[4]
      cells[#cells + 1] = "(" .. rounded(m[1][1] * x + m[1][2] * y + m[1][3]) .. ", " ..
        rounded(m[2][1] * x + m[2][2] * y + m[2][3]) .. ")"
    end
    rows[#rows + 1] = '<tr><th scope="row">' .. table.concat(cells, "</td><td>"):gsub("</td>", "</th>", 1) ..
      "</td></tr>"
  end
  local head = { "No.", "a, b, tx", "c, d, ty", "det" }
  for _, p in ipairs(key_points()) do
    head[#head + 1] = p[1] .. " " .. fmt_point(p)
  end
  return html('<table class="key"><caption>Each exercise\'s matrix once all its steps are typed, its ' ..
    "determinant a·d − b·c (to six decimals) and where the key points go (to two decimals)</caption><thead><tr>" ..
    '<th scope="col">' .. table.concat(head, '</th><th scope="col">') .. "</th></tr></thead><tbody>" ..
    table.concat(rows) .. "</tbody></table>")
end

-- A ```boxes block (one question a line, such as "det =") becomes a table
-- of the questions as row headers, each with an empty cell to answer in.
local function boxes(text)
  local rows = {}
  for line in text:gmatch("[^\n]+") do
    local question = line:match("^%s*(.-)%s*$")
    if question ~= "" then
      rows[#rows + 1] = '<tr><th scope="row">' .. escape(question) .. "</th>" .. FILL .. "</tr>"
    end
  end
  return html('<table class="boxes"><caption>Your answers</caption><tbody>' .. table.concat(rows) ..
    "</tbody></table>")
end

-- A ```readings block ("TYPED | STORED | WHY" a line, "(nothing)" for an
-- empty entry) becomes the table of how typed texts are read.
local function readings(text)
  local rows = {}
  for line in text:gmatch("[^\n]+") do
    local typed, stored, why = line:match("^%s*(.-)%s*|%s*(.-)%s*|%s*(.-)%s*$")
    if typed then
      local shown = typed == "(nothing)" and typed or "<code>" .. escape(typed) .. "</code>"
      rows[#rows + 1] = '<tr><th scope="row">' .. shown .. "</th><td>" .. escape(number(stored)) .. "</td><td>" ..
        escape(why) .. "</td></tr>"
    end
  end
  return html('<table class="readings"><thead><tr><th scope="col">Typed</th><th scope="col">Stored</th>' ..
    '<th scope="col">Why</th></tr></thead><tbody>' .. table.concat(rows) .. "</tbody></table>")
end

-- A ```follow-on block becomes the sentence naming the exercises that the
-- list marks "follows-on", by their numbers in the sheet.
local function follow_on(numbered)
  exercise_matrix("")
  local numbers = {}
  for n, name in ipairs(numbered) do
    if list[name] and list[name].follows then
      numbers[#numbers + 1] = tostring(n)
    end
  end
  if #numbers < 2 then
    error("the exercise list marks fewer than two exercises follows-on")
  end
  local last = table.remove(numbers)
  return pandoc.Para({ pandoc.Strong({ pandoc.Str("Exercises that follow on.") }),
    pandoc.Space(), pandoc.Str("Exercises " .. table.concat(numbers, ", ") .. " and " .. last ..
      " can be typed straight after the exercise before them, without going back to the identity: their steps " ..
      "type again every value that the exercise before changed, so they end on the matrix of their picture. " ..
      "Every other exercise starts from the identity.") })
end

-- A screenshot of an answer: the print picture, its alternative text the
-- sheet's description and the matrix the window shows, and beside it that
-- matrix as a table large enough to read on paper or a visualiser.
local function screenshot(image)
  local name = image.src:match("^images/lessons/(.+)%.png$")
  local entry = name and exercise_matrix(name)
  local description = pandoc.utils.stringify(image.caption)
  if not entry then
    return nil
  end
  local file = io.open(image.src, "r")
  if not file then error("the picture " .. image.src .. " is not there") end
  file:close()
  local rows, spoken = {}, {}
  for r = 1, 2 do
    rows[r] = {}
    for c = 1, 3 do
      local m = entry.m[r][c]
      rows[r][c] = number(string.format("%.2f", m))
    end
    spoken[r] = table.concat(rows[r], ", ")
  end
  rows[3] = { "0.00", "0.00", "1.00" }
  local alt = description .. ". The matrix in the window reads " .. spoken[1] .. " in the top row and " ..
    spoken[2] .. " in the middle row."
  return html('<div class="screenshot"><figure class="window"><img src="' .. image.src .. '" alt="' ..
    escape(alt) .. '"/><figcaption>' .. escape(description) .. "</figcaption></figure>" ..
    matrix_table(rows, "The matrix in the window") .. "</div>")
end

local exercise = "0"
local numbered = {} -- the picture's name of each exercise, by number

local function header(h)
  local n = pandoc.utils.stringify(h.content):match("^(%d+)%.")
  if h.level == 2 and n then
    exercise = n
    h.classes:insert("page")
  end
  if h.level == 1 and mode == "worksheet" then
    h.content:extend({ pandoc.Str(":"), pandoc.Space(), pandoc.Str("worksheet") })
  end
  return h
end

local function div(d)
  local keep = { teacher = mode == "teacher", answer = mode == "teacher", student = mode == "worksheet" }
  for class, shown in pairs(keep) do
    if d.classes:includes(class) and not shown then
      return {}
    end
  end
  if d.classes:includes("answer") then
    -- The picture first, beside the text (the stylesheet floats it).
    local pictures, rest = {}, {}
    for _, b in ipairs(d.content) do
      local is_picture = b.t == "Para" and #b.content == 1 and b.content[1].t == "Image"
      table.insert(is_picture and pictures or rest, b)
    end
    for i, b in ipairs(pictures) do
      table.insert(rest, i, screenshot(b.content[1]) or b)
    end
    d.content = rest
  end
  if d.classes:includes("working") then
    local lines = tonumber(d.attributes.lines or "4")
    return html(string.format('<div class="working" style="height: %gmm"><p>Working:</p></div>', lines * 8.5))
  end
end

local function code_block(block)
  local kind = block.classes[1]
  if kind == "matrix" or kind == "symbols" then
    return html('<div class="product">' .. matrix_table(matrix_rows(block.text)) .. "</div>")
  elseif kind == "product" then
    return product(block.text)
  elseif kind == "blank" then
    return blank(block.text)
  elseif kind == "frames" then
    return frames(block.text, exercise)
  elseif kind == "readings" then
    return readings(block.text)
  elseif kind == "follow-on" then
    return follow_on(numbered)
  elseif kind == "boxes" then
    return boxes(block.text)
  elseif kind == "keypoints" then
    return keypoints()
  elseif kind == "answer-key" then
    return answer_key(numbered)
  end
  -- Anything else would print as text art, which a screen reader reads as
  -- bars and spaces.
  error("exercise " .. exercise .. ": a fenced block of kind \"" .. (kind or "") .. "\", which the handouts do not know")
end

-- Every picture is there and every link of the sheet leads to a heading.
local function check(doc)
  local ids, links = {}, {}
  doc:walk({
    Header = function(h) ids[h.identifier] = true end,
    Div = function(d) ids[d.identifier] = true end,
    Link = function(l)
      if l.target:sub(1, 1) == "#" then links[#links + 1] = l.target:sub(2) end
    end,
    Image = function(i)
      local file = io.open(i.src, "r")
      if not file then error("the picture " .. i.src .. " is not there") end
      file:close()
    end,
  })
  for _, target in ipairs(links) do
    if not ids[target] then
      error("the link to #" .. target .. " leads to no heading of the " .. mode .. "'s copy")
    end
  end
end

return {
  {
    Meta = function(meta)
      mode = pandoc.utils.stringify(meta.handout or "")
      strokes = pandoc.utils.stringify(meta.strokes or "")
      exercises_list = pandoc.utils.stringify(meta.exercises or "")
      key_points_list = pandoc.utils.stringify(meta.keypoints or "")
      if mode ~= "teacher" and mode ~= "worksheet" then
        error("say -M handout=teacher or -M handout=worksheet")
      end
    end,
  },
  -- In document order, so that a frame knows its exercise.
  {
    Pandoc = function(doc)
      local current
      for _, b in ipairs(doc.blocks) do
        if b.t == "Header" then
          current = tonumber(pandoc.utils.stringify(b.content):match("^(%d+)%."))
        elseif current then
          pandoc.walk_block(pandoc.Div({ b }), {
            Image = function(i)
              numbered[current] = numbered[current] or i.src:match("^images/lessons/(.+)%.png$")
            end,
          })
        end
      end
      local blocks = {}
      local function walk(list)
        for _, b in ipairs(list) do
          if b.t == "Header" then
            blocks[#blocks + 1] = header(b)
          elseif b.t == "Div" then
            local result = div(b)
            if result == nil then
              local inner = {}
              local saved = blocks
              blocks = inner
              walk(b.content)
              blocks = saved
              b.content = inner
              blocks[#blocks + 1] = b
            elseif result.t then
              blocks[#blocks + 1] = result
            end
          elseif b.t == "CodeBlock" then
            blocks[#blocks + 1] = code_block(b)
          elseif b.t == "Table" then
            -- The first column names its row: header cells. An empty cell
            -- gets a no-break space, to stay a cell in the tagged PDF.
            local rows = {}
            for _, row in ipairs(b.head.rows) do rows[#rows + 1] = row end
            for _, body in ipairs(b.bodies) do
              body.row_head_columns = 1
              for _, row in ipairs(body.body) do rows[#rows + 1] = row end
            end
            for _, row in ipairs(rows) do
              for _, cell in ipairs(row.cells) do
                if #cell.contents == 0 then
                  cell.contents = { pandoc.Plain({ pandoc.Str("\u{a0}") }) }
                end
              end
            end
            blocks[#blocks + 1] = b
          else
            blocks[#blocks + 1] = b
          end
        end
      end
      walk(doc.blocks)
      doc.blocks = blocks
      check(doc)
      return doc
    end,
  },
}
