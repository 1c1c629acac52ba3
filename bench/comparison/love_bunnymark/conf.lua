-- The bunnymark window: 640 x 480, vsync off, depth 24 and stencil 8, no
-- sound (the benchmark machine may have no sound device).
function love.conf(t)
  t.identity = "vantrix-bunnymark"
  t.window.title = "bunnymark"
  t.window.width = 640
  t.window.height = 480
  t.window.vsync = 0
  t.window.depth = 24
  t.window.stencil = 8
  t.modules.audio = false
  t.modules.sound = false
  t.modules.joystick = false
  t.modules.physics = false
end
